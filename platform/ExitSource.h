#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What a process had done when it ended. Times as 100-ns units.
struct EndedProcess {
    std::uint32_t pid = 0;
    std::uint32_t parentPid = 0;
    std::string name;          // the kernel's name of its program
    std::int64_t started = 0;  // seconds since 1970
    std::uint64_t kernel = 0;
    std::uint64_t user = 0;
    std::uint64_t readBytes = 0;
    std::uint64_t writeBytes = 0;
};

// The system's account of processes that ended, where the program has the
// right to hear it. All calls happen on one thread.
class IExitSource {
public:
    virtual ~IExitSource() = default;
    // Whether ends are being reported; false when the right is missing.
    virtual bool IsListening() const = 0;
    // The processes that ended since the previous call, one entry per
    // process (its threads summed). Ends of single threads of processes
    // that still run may be listed too; the caller tells them apart.
    virtual void TakeEnded(std::vector<EndedProcess>& ended) = 0;
};
