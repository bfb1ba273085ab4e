// The window's own costs, on the real Qt dialog with fake system pieces:
//   BM_ClickToDrawnSelected: a click on another program's row until that row
//     is drawn selected, while the knowledge base takes every question and
//     never answers.
//   BM_ListTick: one refresh of the list with N busy programs, updated row
//     by row (rebuild=0) or, as before, deleted and inserted whole
//     (rebuild=1); painted either way. alternate=1: every other program is
//     busy in turn, so every row changes text and half of them move.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "app/LoadwatchDlg.h"
#include "controls/ReportCtrl.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileContent.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakePackageMetadata.h"
#include "tests/fakes/FakeProcessSource.h"
#include "tests/fakes/HeldKnowledgeBase.h"
#include "window/ControlIds.h"
#include "window/WindowServices.h"

namespace {
class CNoServices : public IWindowServices {
public:
    bool EnableDebugPrivilege() override { return false; }
    WindowId FindProcessWindow(std::uint32_t) override { return 0; }
};

struct Window {
    CFakeClock clock;
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeFileContent content;
    CFakePackageMetadata packages;
    CHeldKnowledgeBase silent;
    CKnowledgeBase knowledgeBase{silent, files, "http://kb.test/index.php?"};
    CProcesses processes{{clock, source, files}};
    CNoServices services;
    std::unique_ptr<CLoadwatchDlg> dlg;

    explicit Window(int programs) {
        for (int i = 0; i < programs; ++i)
            source.Add(static_cast<std::uint32_t>(100 + i), "/usr/bin/prog" + std::to_string(i));
        dlg = std::make_unique<CLoadwatchDlg>(
            WindowPlatform{processes, files, content, packages, 0x0409, knowledgeBase, services});
        dlg->InitDialog(false);
        dlg->show();
        Tick(true);
    }
    // busy: every program; alternate: every other one, changing each tick.
    void Tick(bool busy, bool alternate = false) {
        ++ticks;
        for (size_t i = 0; i < source.order.size(); ++i)
            if (busy && (!alternate || (i + ticks) % 2 == 0)) source.AddCpu(source.order[i], 2'000'000);
        clock.Advance();
        processes.TakeSnapshot();
    }
    std::size_t ticks = 0;
};

void BM_ClickToDrawnSelected(benchmark::State& state) {
    Window w(40);
    w.dlg->Window().OnTimer(kRefreshTimer);
    CReportCtrl& list = w.dlg->ListCtrl();
    int row = 0;
    for (auto _ : state) {
        row = (row + 1) % 6;  // rows in view: a click elsewhere would miss
        const QPoint at = list.visualRect(list.model()->index(row, 0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        list.viewport()->repaint();
        if (list.GetItemState(row, kStateSelected) == 0) {
            state.SkipWithError("row not selected");
            break;
        }
        state.PauseTiming();
        QCoreApplication::processEvents();  // what the workers posted meanwhile
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClickToDrawnSelected)->Unit(benchmark::kMillisecond);

void BM_ListTick(benchmark::State& state) {
    const bool rebuild = state.range(1) != 0;
    const bool alternate = state.range(2) != 0;
    Window w(static_cast<int>(state.range(0)));
    CReportCtrl& list = w.dlg->ListCtrl();
    w.processes.FillList(list);
    for (auto _ : state) {
        state.PauseTiming();
        w.Tick(true, alternate);
        state.ResumeTiming();
        if (rebuild) list.DeleteAllItems();
        w.processes.FillList(list);
        list.viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListTick)
    ->ArgNames({"busy", "rebuild", "alternate"})
    ->Args({1000, 0, 0})
    ->Args({1000, 1, 0})
    ->Args({1000, 0, 1})
    ->Args({1000, 1, 1})
    ->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
