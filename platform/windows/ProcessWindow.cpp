#include "platform/windows/ProcessWindow.h"

namespace {
struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->pid) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND FindProcessWindow(std::uint32_t pid) {
    Search search{pid, nullptr};
    ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
