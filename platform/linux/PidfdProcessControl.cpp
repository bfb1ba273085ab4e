#include "platform/linux/PidfdProcessControl.h"

#include "platform/linux/Pidfd.h"
#include "platform/linux/PidfdProcessHandle.h"

std::unique_ptr<CPidfdProcessHandle> CPidfdProcessControl::OpenPidfd(std::uint32_t pid) {
    if (pid == 0 || pid > 0x7fffffffu) return nullptr;
    UniqueFd fd = PidfdOpen(static_cast<pid_t>(pid));
    if (!fd) return nullptr;
    std::uint64_t start = 0;
    if (!PidfdStartTime(fd.Get(), static_cast<pid_t>(pid), m_procRoot, start)) start = 0;
    return std::make_unique<CPidfdProcessHandle>(pid, std::move(fd), start);
}
