#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a system can tell of a process beside its times; each field keeps
// its default where it cannot.
struct ProcessExtras {
    // The kernel's name for the program the process runs now.
    std::string name;
    // Changes when the process starts another program (exec); 0 = unknown.
    std::uint64_t imageStamp = 0;
    std::uint32_t parentPid = 0;
    // User + kernel time of the children the process has waited for.
    std::optional<std::uint64_t> childTime;
};

// Processor times as 100-ns units; creation as 100-ns units since 1601 UTC.
struct ProcessTimes {
    std::uint64_t creation = 0;
    std::uint64_t kernel = 0;
    std::uint64_t user = 0;
    ProcessExtras extras;
};

// Bytes the process itself moved to and from storage, never decreasing
// while the process lives.
struct IoCounters {
    std::uint64_t readBytes = 0;
    std::uint64_t writeBytes = 0;
};

// An open query handle on one process. It stays bound to the process it was
// opened for: once that process has ended every call fails, even if its id
// has been given to a new process meanwhile.
class IProcessQuery {
public:
    virtual ~IProcessQuery() = default;
    // false on failure; LastError() then tells why.
    virtual bool GetTimes(ProcessTimes& times) = 0;
    // false when refused (another user's process without privilege) or gone.
    virtual bool GetIoCounters(IoCounters& counters) = 0;
    // Full path of the program image, by a second route for processes whose
    // module path could not be read. false if not available.
    virtual bool QueryFullImageName(std::string& path) = 0;
    // Native (device) path of the image; false where the system has none.
    virtual bool GetImageFileName(std::string& path) = 0;
    // The short name the system itself keeps for the process (on Linux its
    // command name, which every user may read), to tell a process apart
    // whose path is refused. false where there is none; LastError() is left
    // as it was.
    virtual bool GetKernelName(std::string& name) {
        (void)name;
        return false;
    }
    // Error code of the last failed call on this handle (errno on POSIX).
    virtual int LastError() const = 0;
};

// The system's processes. All calls happen on one thread.
class IProcessSource {
public:
    virtual ~IProcessSource() = default;
    // Ids of the processes running now, in the system's order; the source
    // leaves out what is never sampled (kernel threads on Linux). A failed
    // enumeration gives false and an empty list.
    virtual bool EnumerateProcesses(std::vector<std::uint32_t>& pids) = 0;
    virtual std::uint32_t CurrentProcessId() = 0;
    // Path of the program file of pid (its main module). false on failure,
    // with LastError() set; a true result may still hold an empty path.
    virtual bool GetModulePath(std::uint32_t pid, std::string& path) = 0;
    // Opens a query handle; null when the process is gone or hidden, with
    // LastError() set.
    virtual std::unique_ptr<IProcessQuery> OpenQuery(std::uint32_t pid) = 0;
    virtual int LastError() const = 0;
    // The instant of the last EnumerateProcesses on the clock of
    // ProcessTimes::creation, at that clock's own resolution (a process
    // created at or after it was not there yet); 0 when unknown.
    virtual std::uint64_t EnumerationTime() const { return 0; }
};
