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
#include <vector>

#include "app/LoadwatchDlg.h"
#include "controls/ReportCtrl.h"
#include "tests/fakes/HeldKnowledgeBase.h"
#include "tests/fakes/WindowFixture.h"

namespace {
// The real dialog, shown, with `programs` programs listed; the knowledge
// base holds every question.
struct Bench : CWindowFixture<CHeldKnowledgeBase> {
    std::unique_ptr<CLoadwatchDlg> dlg;
    std::size_t ticks = 0;

    explicit Bench(int programs) {
        for (int i = 0; i < programs; ++i)
            Add(static_cast<std::uint32_t>(100 + i), "/usr/bin/prog" + std::to_string(i));
        dlg = std::make_unique<CLoadwatchDlg>(Platform());
        dlg->InitDialog(false);
        dlg->show();
        Snapshot(true);
    }
    CLoadwatchWindow& Window() override { return dlg->Window(); }
    CReportCtrl& List() override { return dlg->ListCtrl(); }
    // A snapshot a second later, the list left as it was. busy: every
    // program; alternate: every other one, changing each tick.
    void Snapshot(bool busy, bool alternate = false) {
        ++ticks;
        std::vector<std::uint32_t> pids;
        for (std::size_t i = 0; i < source.order.size(); ++i)
            if (busy && (!alternate || (i + ticks) % 2 == 0)) pids.push_back(source.order[i]);
        Pass(pids);
        processes.TakeSnapshot();
    }
};

void BM_ClickToDrawnSelected(benchmark::State& state) {
    Bench w(40);
    w.Window().OnTimer(kRefreshTimer);
    CReportCtrl& list = w.List();
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
    Bench w(static_cast<int>(state.range(0)));
    CReportCtrl& list = w.List();
    w.processes.FillList(list);
    for (auto _ : state) {
        state.PauseTiming();
        w.Snapshot(true, alternate);
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
