#pragma once
#include <string>

#include "helper/HelperSystem.h"

// The helper's work on the real system. Each process is opened as a pidfd
// first; a read counts only if that pidfd is still alive after it, so the
// answer never belongs to a process that took the id meanwhile. The helper
// refuses to kill process 1 and itself.
class CProcHelperSystem : public IHelperSystem {
public:
    explicit CProcHelperSystem(std::string procRoot = "/proc") : m_procRoot(std::move(procRoot)) {}
    bool ReadIo(std::uint32_t pid, std::uint64_t& readBytes, std::uint64_t& writeBytes, int& err) override;
    bool ReadExe(std::uint32_t pid, std::string& path, int& err) override;
    bool ReadSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes, int& err) override;
    bool Kill(std::uint32_t pid, std::uint64_t startTime, int& err) override;

private:
    std::string m_procRoot;
};
