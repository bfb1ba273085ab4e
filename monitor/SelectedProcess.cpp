#include "monitor/Processes.h"
#include "monitor/ReportList.h"

CProcess* GetSelectedProcess(const IReportList& list, CProcesses& processes) {
    int mark = list.GetSelectionMark();
    if (mark < 0) return nullptr;
    const std::uint32_t both = kStateSelected | kStateFocused;
    if (list.GetItemState(mark, both) != both) return nullptr;
    std::uint32_t pid = list.GetItemData(mark);
    return pid == 0 ? nullptr : processes.FindByPid(pid);
}
