#include "monitor/ActivityText.h"
#include "monitor/Processes.h"
#include "monitor/ReportList.h"
#include "platform/Clock.h"

namespace {
// Clears the filling flag on every way out.
struct FillingGuard {
    bool& flag;
    explicit FillingGuard(bool& f) : flag(f) { flag = true; }
    ~FillingGuard() { flag = false; }
};

}  // namespace

void CProcesses::FillList(IReportList& list) {
    const std::uint32_t selected = GetSelectedRowData(list);
    FillingGuard guard(m_bFillingList);
    list.DeleteAllItems();
    const std::int64_t now = m_platform.clock.Now();
    int row = 0;
    int rowToSelect = -1;
    for (auto& owned : m_records) {
        CProcess& r = *owned;
        if (r.m_tDiskUntil < now && r.m_tNetworkUntil < now && r.m_tProcessorUntil < now &&
            r.m_tKeepUntil < now)
            continue;
        const std::string program = r.ProgramText();
        int at = list.InsertItem(row, {program, ComposeActivityText(r, now)});
        if (at < 0) continue;
        list.SetItemData(at, r.m_dwPid);
        ColorRef color = RowColor(r, now);
        if (color != kDefaultColor) list.SetCellTextColor(at, -1, color, false);
        if (selected != 0 && selected == r.m_dwPid) {
            r.m_tKeepUntil = m_platform.clock.Now() + kKeepWhileSelected;
            rowToSelect = at;
        }
        ++row;
    }
    if (rowToSelect >= 0) {
        list.SetItemState(rowToSelect, kStateSelected | kStateFocused, kStateSelected | kStateFocused);
    }
    list.SetSelectionMark(rowToSelect);
}
