#pragma once
#include "platform/ProcessSource.h"

class CHelperConnection;

// A process source that asks the privileged helper, while it runs, for what
// the inner source was refused (EACCES or EPERM): the I/O counters and the
// program path of other users' processes. Everything else, and everything
// while the helper does not run, is the inner source's answer.
//
// An answer counts only if the process is provably the same throughout:
// a pidfd opened before the question must still be alive after the answer,
// and for counters the inner query's own handle must be alive after that
// pidfd was opened.
class CHelperProcessSource : public IProcessSource {
public:
    CHelperProcessSource(IProcessSource& inner, CHelperConnection& helper)
        : m_inner(inner), m_helper(helper) {}

    bool EnumerateProcesses(std::vector<std::uint32_t>& pids) override {
        return m_inner.EnumerateProcesses(pids);
    }
    std::uint32_t CurrentProcessId() override { return m_inner.CurrentProcessId(); }
    bool GetModulePath(std::uint32_t pid, std::string& path) override;
    std::unique_ptr<IProcessQuery> OpenQuery(std::uint32_t pid) override;
    int LastError() const override { return m_lastError; }
    std::uint64_t EnumerationTime() const override { return m_inner.EnumerationTime(); }

private:
    class Query;

    IProcessSource& m_inner;
    CHelperConnection& m_helper;
    int m_lastError = 0;
};
