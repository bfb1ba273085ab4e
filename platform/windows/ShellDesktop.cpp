#include "platform/windows/ShellDesktop.h"

#include "platform/windows/Win32.h"
// after Win32.h
#include <shellapi.h>

void CShellDesktop::OpenUrl(const std::string& url) {
    ::ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CShellDesktop::OpenFolder(const std::string& folder) {
    ::ShellExecuteA(nullptr, "open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CShellDesktop::ShowFileProperties(const std::string& path) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    // The properties sheet lives in this process's shell; without the flag
    // it would close as soon as the call returns.
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpVerb = "properties";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExA(&info);
}
