#pragma once
#include <string>

#include "platform/ProcessControl.h"
#include "platform/linux/PidfdProcessHandle.h"

// Process handles as pidfds (Linux 5.3 and later). A pidfd refers to the one
// process it was opened on; signals sent through it after that process was
// reaped fail with ESRCH instead of reaching a new owner of the id.
// kQuit is SIGTERM, kKill is SIGKILL; EPERM is kDenied.
class CPidfdProcessControl : public IProcessControl {
public:
    explicit CPidfdProcessControl(std::string procRoot = "/proc") : m_procRoot(std::move(procRoot)) {}
    std::unique_ptr<IProcessHandle> OpenProcess(std::uint32_t pid) override { return OpenPidfd(pid); }
    std::unique_ptr<CPidfdProcessHandle> OpenPidfd(std::uint32_t pid);

private:
    std::string m_procRoot;
};
