#include "winapp/Win32WindowServices.h"

#include "platform/windows/Privilege.h"
#include "platform/windows/ProcessWindow.h"

bool CWin32WindowServices::EnableDebugPrivilege() { return EnablePrivilege("SeDebugPrivilege", true); }

WindowId CWin32WindowServices::FindProcessWindow(std::uint32_t pid) {
    return reinterpret_cast<WindowId>(::FindProcessWindow(pid));
}
