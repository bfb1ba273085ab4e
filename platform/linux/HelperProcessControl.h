#pragma once
#include <string>

#include "platform/ProcessControl.h"

class CHelperConnection;

// Process handles as pidfds (CPidfdProcessControl) whose kill, when the
// system denies it, is asked of the privileged helper while it runs. The
// helper is told the process's start time as read when the handle was
// opened and kills nothing else; its answer "gone" is kGone.
class CHelperProcessControl : public IProcessControl {
public:
    explicit CHelperProcessControl(CHelperConnection& helper, std::string procRoot = "/proc")
        : m_helper(helper), m_procRoot(std::move(procRoot)) {}
    std::unique_ptr<IProcessHandle> OpenProcess(std::uint32_t pid) override;

private:
    class Handle;

    CHelperConnection& m_helper;
    std::string m_procRoot;
};
