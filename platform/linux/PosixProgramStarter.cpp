#include "platform/linux/PosixProgramStarter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/UniqueFd.h"

namespace {
// Between fork and exec only async-signal-safe calls: the caller may have threads.
[[noreturn]] void RunGrandchild(const char* path, int reportFd) {
    int devnull = ::open("/dev/null", O_RDONLY);
    if (devnull >= 0) ::dup2(devnull, STDIN_FILENO);
    ::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    char* const argv[] = {const_cast<char*>(path), nullptr};
    ::execv(path, argv);
    int err = errno;
    (void)!::write(reportFd, &err, sizeof err);
    ::_exit(127);
}
}  // namespace

bool CPosixProgramStarter::StartDetached(const std::string& path) {
    if (path.empty()) return false;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    UniqueFd readEnd(fds[0]), writeEnd(fds[1]);
    const char* file = path.c_str();
    pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild < 0) {
            int err = errno;
            (void)!::write(fds[1], &err, sizeof err);
            ::_exit(1);
        }
        if (grandchild > 0) ::_exit(0);
        RunGrandchild(file, fds[1]);
    }
    writeEnd.Reset();
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    // Nothing to read: exec closed the pipe. An errno: it failed.
    int err = 0;
    ssize_t n;
    do n = ::read(readEnd.Get(), &err, sizeof err);
    while (n < 0 && errno == EINTR);
    return n == 0;
}
