#pragma once
#include <cstdint>
#include <memory>

// What an action asks a process to do.
enum class ProcessSignal {
    kQuit,  // a request to quit now, without asking about unsaved work
    kKill,  // ends the process at once; it cannot refuse
};

enum class SignalResult {
    kSent,
    kGone,    // the process the handle was opened on has ended
    kDenied,  // another user's process, or one the system protects
    kFailed,
};

// A handle on one process. It stays bound to the process it was opened on:
// once that process has ended, Send reports kGone and reaches nobody, even
// if a new process has taken its id meanwhile. Open it before anything that
// lets time pass (a confirmation box), then act through it.
class IProcessHandle {
public:
    virtual ~IProcessHandle() = default;
    virtual std::uint32_t Pid() const = 0;
    virtual SignalResult Send(ProcessSignal signal) = 0;
};

// Opens process handles. All calls happen on one thread.
class IProcessControl {
public:
    virtual ~IProcessControl() = default;
    // Null when no process has this id (or the system will not give a
    // handle on it); opening needs no right to signal the process.
    virtual std::unique_ptr<IProcessHandle> OpenProcess(std::uint32_t pid) = 0;
};
