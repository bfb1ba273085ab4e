#pragma once

// The privileged helper: a small program that, once the user allowed it,
// answers for this one the reads and signals that need privileges. The
// process source and process control the composition root hands out use it
// by themselves while it runs; nothing else needs to know it exists.
class IPrivilegedHelper {
public:
    enum class StartResult {
        kStarted,  // running now (also when it already was)
        kRefused,  // the user or the system's policy said no
        kFailed,   // it could not be started at all
    };
    virtual ~IPrivilegedHelper() = default;
    // Asks the system to start the helper with privileges; it may show an
    // authentication dialog and waits for the user's answer.
    virtual StartResult Start() = 0;
    virtual bool IsRunning() const = 0;
};
