#pragma once
#include <cstdint>
#include <string>
#include <vector>

// What the helper does to the system for a valid request. Each call works
// on the process that holds pid while it runs and never on another: false
// with err set (ESRCH once the process is gone).
class IHelperSystem {
public:
    virtual ~IHelperSystem() = default;
    virtual bool ReadIo(std::uint32_t pid, std::uint64_t& readBytes, std::uint64_t& writeBytes, int& err) = 0;
    virtual bool ReadExe(std::uint32_t pid, std::string& path, int& err) = 0;
    // The inodes of the sockets the process holds.
    virtual bool ReadSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes, int& err) = 0;
    // SIGKILL, only if the process's start time is startTime.
    virtual bool Kill(std::uint32_t pid, std::uint64_t startTime, int& err) = 0;
};
