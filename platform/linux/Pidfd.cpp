#include "platform/linux/Pidfd.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/ProcfsParse.h"

UniqueFd PidfdOpen(pid_t pid) { return UniqueFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0u))); }

int PidfdSendSignal(int pidfd, int signal) {
    return static_cast<int>(::syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0u));
}

bool PidfdAlive(int pidfd) { return PidfdSendSignal(pidfd, 0) == 0 || errno == EPERM; }

bool PidfdStartTime(int pidfd, pid_t pid, const std::string& procRoot, std::uint64_t& startTime) {
    std::string path = procRoot + "/" + std::to_string(pid) + "/stat";
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return false;
    char buf[2048];
    ssize_t n;
    do n = ::read(fd.Get(), buf, sizeof buf);
    while (n < 0 && errno == EINTR);
    if (n <= 0) {
        if (n == 0) errno = ESRCH;
        return false;
    }
    StatFields fields;
    if (!ParseStatLine(std::string(buf, static_cast<size_t>(n)), fields)) {
        errno = EINVAL;
        return false;
    }
    // Alive after the read: the id was this process's all along.
    if (!PidfdAlive(pidfd)) {
        errno = ESRCH;
        return false;
    }
    startTime = fields.starttime;
    return true;
}
