// Cost of one refresh of the window's list: delete every row, insert them
// again with their value and a row colour, and paint the result.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "controls/ReportCtrl.h"

namespace {
void BM_RebuildList(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    CReportCtrl list;
    list.resize(820, 400);
    list.InsertColumn(0, "Program", CReportCtrl::LVCFMT_LEFT, 270);
    list.InsertColumn(1, "Activity", CReportCtrl::LVCFMT_LEFT, 550);
    list.show();
    std::vector<std::string> names;
    for (int r = 0; r < rows; ++r) names.push_back("program" + std::to_string(r));
    for (auto _ : state) {
        list.DeleteAllItems();
        for (int r = 0; r < rows; ++r) {
            const int at =
                list.InsertItem(r, {names[static_cast<size_t>(r)], "Hard disk (4 seconds ago), Processor"});
            list.SetItemData(at, static_cast<std::uint32_t>(1000 + r));
            const unsigned g = 30 + 10 * static_cast<unsigned>(r % 20);
            list.SetCellTextColor(at, -1, Rgb(g, g, g), false);
        }
        list.SetItemState(rows / 2, kStateSelected | kStateFocused, kStateSelected | kStateFocused);
        list.SetSelectionMark(rows / 2);
        list.viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_RebuildList)->Arg(20)->Arg(200)->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
