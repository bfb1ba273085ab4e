#include "monitor/Processes.h"
#include "monitor/ReportList.h"

std::uint32_t GetSelectedRowData(const IReportList& list) {
    int mark = list.GetSelectionMark();
    if (mark < 0) return 0;
    const std::uint32_t both = kStateSelected | kStateFocused;
    if (list.GetItemState(mark, both) != both) return 0;
    return list.GetItemData(mark);
}

CProcess* GetSelectedProcess(const IReportList& list, CProcesses& processes) {
    return processes.FindByPid(GetSelectedRowData(list));
}
