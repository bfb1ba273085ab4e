#include "helper/ProcHelperSystem.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/Pidfd.h"
#include "platform/linux/ProcessSockets.h"
#include "platform/linux/ProcfsParse.h"

namespace {
bool Fail(int& err, int code) {
    err = code;
    return false;
}
}  // namespace

bool CProcHelperSystem::ReadIo(std::uint32_t pid, std::uint64_t& readBytes, std::uint64_t& writeBytes,
                               int& err) {
    UniqueFd process = PidfdOpen(static_cast<pid_t>(pid));
    if (!process) return Fail(err, errno);
    std::string path = m_procRoot + "/" + std::to_string(pid) + "/io";
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return Fail(err, errno);
    char buf[1024];
    ssize_t n;
    do n = ::read(fd.Get(), buf, sizeof buf);
    while (n < 0 && errno == EINTR);
    if (n < 0) return Fail(err, errno);
    if (!ParseIoText(std::string(buf, static_cast<size_t>(n)), readBytes, writeBytes))
        return Fail(err, EINVAL);
    if (!PidfdAlive(process.Get())) return Fail(err, ESRCH);
    return true;
}

bool CProcHelperSystem::ReadExe(std::uint32_t pid, std::string& path, int& err) {
    UniqueFd process = PidfdOpen(static_cast<pid_t>(pid));
    if (!process) return Fail(err, errno);
    std::string link = m_procRoot + "/" + std::to_string(pid) + "/exe";
    char buf[4096];
    ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    if (n < 0) return Fail(err, errno);
    if (static_cast<size_t>(n) == sizeof buf) return Fail(err, ENAMETOOLONG);
    if (!PidfdAlive(process.Get())) return Fail(err, ESRCH);
    path.assign(buf, static_cast<size_t>(n));
    return true;
}

bool CProcHelperSystem::ReadSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes, int& err) {
    UniqueFd process = PidfdOpen(static_cast<pid_t>(pid));
    if (!process) return Fail(err, errno);
    UniqueFd root(::open(m_procRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root) return Fail(err, errno);
    if (!ReadProcessSockets(root.Get(), std::to_string(pid).c_str(), inodes)) return Fail(err, errno);
    if (!PidfdAlive(process.Get())) return Fail(err, ESRCH);
    return true;
}

bool CProcHelperSystem::Kill(std::uint32_t pid, std::uint64_t startTime, int& err) {
    if (pid == 1 || pid == static_cast<std::uint32_t>(::getpid())) return Fail(err, EPERM);
    UniqueFd process = PidfdOpen(static_cast<pid_t>(pid));
    if (!process) return Fail(err, errno);
    std::uint64_t actual = 0;
    if (!PidfdStartTime(process.Get(), static_cast<pid_t>(pid), m_procRoot, actual)) return Fail(err, errno);
    // Another process has the id now: the one that was meant is gone.
    if (actual != startTime) return Fail(err, ESRCH);
    if (PidfdSendSignal(process.Get(), SIGKILL) != 0) return Fail(err, errno);
    return true;
}
