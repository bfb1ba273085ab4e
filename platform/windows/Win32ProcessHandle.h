#pragma once
#include "platform/ProcessControl.h"
#include "platform/windows/UniqueHandle.h"

// One process held open: while the handle lives the system does not give
// its id to another process, so whatever Send reaches is the process that
// was opened.
class CWin32ProcessHandle : public IProcessHandle {
public:
    // canTerminate: the handle carries PROCESS_TERMINATE.
    CWin32ProcessHandle(std::uint32_t pid, UniqueHandle process, bool canTerminate)
        : m_pid(pid), m_process(std::move(process)), m_canTerminate(canTerminate) {}
    std::uint32_t Pid() const override { return m_pid; }
    SignalResult Send(ProcessSignal signal) override;

private:
    std::uint32_t m_pid;
    UniqueHandle m_process;
    bool m_canTerminate;
};
