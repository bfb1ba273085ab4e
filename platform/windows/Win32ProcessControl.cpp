#include "platform/windows/Win32ProcessControl.h"

#include "platform/windows/Win32ProcessHandle.h"

std::unique_ptr<IProcessHandle> CWin32ProcessControl::OpenProcess(std::uint32_t pid) {
    constexpr DWORD kWatch = SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION;
    UniqueHandle process(::OpenProcess(kWatch | PROCESS_TERMINATE, FALSE, pid));
    bool canTerminate = process.Valid();
    // Another user's process may still be watched, and asked to quit.
    if (!canTerminate) process = UniqueHandle(::OpenProcess(kWatch, FALSE, pid));
    if (!process) return nullptr;
    return std::make_unique<CWin32ProcessHandle>(pid, std::move(process), canTerminate);
}
