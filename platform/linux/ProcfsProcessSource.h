#pragma once
#include <dirent.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/ProcessSource.h"
#include "platform/linux/BudgetedFd.h"
#include "platform/linux/FdBudget.h"
#include "platform/linux/ProcfsParse.h"
#include "platform/linux/UniqueFd.h"

// Processes read from a procfs tree (normally /proc; tests and benchmarks
// hand in a generated tree). Per process it keeps the descriptors of `stat`
// and `io` open between samples and re-reads them with pread, so a tick
// costs two system calls per process. A procfs descriptor answers for its
// own process only (ESRCH once it has ended), so a reused id never mixes two
// processes. Past the descriptor budget it falls back to open/read/close.
//
// File formats: Documentation/filesystems/proc.rst of the Linux kernel
// (Table 1-4 for stat, section 3.3 for io).
class CProcfsProcessSource : public IProcessSource {
public:
    struct Options {
        std::string root = "/proc";
        // Descriptors this source may keep open; -1 = derive from RLIMIT_NOFILE.
        long fdBudget = -1;
    };
    CProcfsProcessSource();
    explicit CProcfsProcessSource(Options options);
    ~CProcfsProcessSource() override;

    bool EnumerateProcesses(std::vector<std::uint32_t>& pids) override;
    std::uint32_t CurrentProcessId() override;
    bool GetModulePath(std::uint32_t pid, std::string& path) override;
    std::unique_ptr<IProcessQuery> OpenQuery(std::uint32_t pid) override;
    int LastError() const override { return m_lastError; }
    std::uint64_t EnumerationTime() const override { return m_enumerationTime; }

    // Descriptors held in the per-process cache (for tests and benchmarks).
    long CachedDescriptors() const { return m_budget.InUse(); }

private:
    class Query;
    friend class Query;

    struct Entry {
        std::uint64_t serial = 0;  // changes when the entry is opened anew
        std::uint64_t generation = 0;
        BudgetedFd dir;
        BudgetedFd stat;
        BudgetedFd io;
        bool kernelThread = false;
        bool gone = false;
        // Reaped children's I/O is folded into a parent's io counters; it is
        // left out so that the parent is not blamed for its child's work.
        std::uint64_t childTicks = 0;
        std::uint64_t childTicksAtIo = 0;
        bool haveIo = false;
        std::uint64_t lastRawRead = 0, lastRawWrite = 0;
        std::uint64_t offsetRead = 0, offsetWrite = 0;
    };

    bool OpenRoot();
    Entry* OpenEntry(std::uint32_t pid);
    Entry* FindEntry(std::uint32_t pid, std::uint64_t serial);
    void DropEntry(std::uint32_t pid);
    // Opens name below the process's folder; caches it in *slot (if given)
    // when the budget allows. Returns the fd to use, or -1 with errno set.
    int OpenInEntry(std::uint32_t pid, Entry& e, BudgetedFd* slot, const char* name, UniqueFd& temp);
    bool ReadStat(std::uint32_t pid, Entry& e, std::string& text, int& err);
    bool ReadFileIn(std::uint32_t pid, Entry& e, BudgetedFd* slot, const char* name, std::string& text,
                    int& err);

    Options m_options;
    UniqueFd m_root;
    std::unique_ptr<DIR, int (*)(DIR*)> m_dir{nullptr, &closedir};
    FdBudget m_budget;  // before the entries, whose descriptors give their slots back to it
    std::unordered_map<std::uint32_t, Entry> m_entries;
    std::uint64_t m_generation = 0;
    std::uint64_t m_nextSerial = 1;
    std::uint64_t m_bootTime = 0;  // FILETIME
    std::uint64_t m_enumerationTime = 0;
    bool m_liveClock = false;  // the tree is this machine's own
    long m_ticksPerSecond = 100;
    int m_lastError = 0;
};
