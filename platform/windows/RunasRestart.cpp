#include "platform/windows/RunasRestart.h"

#include <vector>

#include "platform/windows/Win32.h"
// after Win32.h
#include <shellapi.h>

IPrivilegedHelper::StartResult CRunasRestart::Start() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return StartResult::kFailed;
        if (n < path.size()) break;
        path.resize(path.size() * 2);
    }
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = static_cast<HWND>(m_owner);
    info.lpVerb = "runas";
    info.lpFile = path.data();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExA(&info))
        return ::GetLastError() == ERROR_CANCELLED ? StartResult::kRefused : StartResult::kFailed;
    if (m_onStarted) m_onStarted();
    return StartResult::kStarted;
}
