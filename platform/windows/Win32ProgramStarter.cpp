#include "platform/windows/Win32ProgramStarter.h"

#include <vector>

#include "platform/windows/UniqueHandle.h"

bool CWin32ProgramStarter::StartDetached(const std::string& path) {
    // The command line is the quoted path alone, writable as CreateProcessA
    // wants it.
    const std::string quoted = "\"" + path + "\"";
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');
    const auto slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                          nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return false;
    UniqueHandle process(info.hProcess), thread(info.hThread);
    return true;
}
