#pragma once
#include <string>

// Starts other programs.
class IProgramStarter {
public:
    virtual ~IProgramStarter() = default;
    // Starts the program file at path without arguments, detached: it
    // outlives this program, is not waited for and inherits no descriptor
    // but the standard ones. false if it could not be started (not found,
    // not executable, not a program this system can run).
    virtual bool StartDetached(const std::string& path) = 0;
};
