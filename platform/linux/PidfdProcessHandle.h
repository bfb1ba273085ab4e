#pragma once
#include <cstdint>

#include "platform/ProcessControl.h"
#include "platform/linux/UniqueFd.h"

// A process handle that owns a pidfd. It also remembers the process's start
// time, read when it was opened, so that a privileged helper can be told
// which process is meant and refuse any other that took the id.
class CPidfdProcessHandle : public IProcessHandle {
public:
    CPidfdProcessHandle(std::uint32_t pid, UniqueFd pidfd, std::uint64_t startTime)
        : m_pid(pid), m_pidfd(std::move(pidfd)), m_startTime(startTime) {}
    std::uint32_t Pid() const override { return m_pid; }
    SignalResult Send(ProcessSignal signal) override;
    // Clock ticks after boot; 0 if it could not be read.
    std::uint64_t StartTime() const { return m_startTime; }
    int Fd() const { return m_pidfd.Get(); }

private:
    std::uint32_t m_pid;
    UniqueFd m_pidfd;
    std::uint64_t m_startTime;
};
