#include "platform/linux/HelperConnection.h"

#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "platform/linux/HelperProtocol.h"

extern char** environ;

#ifndef LOADWATCH_HELPER_PATH
#define LOADWATCH_HELPER_PATH "/usr/libexec/loadwatch/loadwatch-helper"
#endif

std::string CHelperConnection::DefaultHelperPath() {
    if (::access(LOADWATCH_HELPER_PATH, X_OK) == 0) return LOADWATCH_HELPER_PATH;
    // Not installed: run from the build tree, where the helper is built in a
    // folder beside the program's.
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        std::filesystem::path built = self.parent_path().parent_path() / "helper" / "loadwatch-helper";
        if (::access(built.c_str(), X_OK) == 0) return built.string();
    }
    return LOADWATCH_HELPER_PATH;
}

CHelperConnection::Options CHelperConnection::PkexecOptions(const std::string& helperPath) {
    Options o;
    o.command = {"pkexec", helperPath};
    return o;
}

CHelperConnection::CHelperConnection(Options options) : m_options(std::move(options)) {}

CHelperConnection::~CHelperConnection() {
    Stop();
    // The helper ends at the end of its input: waiting here is short.
    for (pid_t child : m_exited)
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
}

void CHelperConnection::Stop() {
    m_socket.Reset();
    Guard(false);
    m_pending.clear();
    if (m_child > 0) m_exited.push_back(m_child);
    m_child = -1;
    ReapExited();
}

void CHelperConnection::Guard(bool on) {
    if (on && m_dumpableBefore < 0) {
        m_dumpableBefore = ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0);
        ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    } else if (!on && m_dumpableBefore >= 0) {
        ::prctl(PR_SET_DUMPABLE, m_dumpableBefore, 0, 0, 0);
        m_dumpableBefore = -1;
    }
}

void CHelperConnection::ReapExited() {
    // Never blocks: a helper stuck on a process that does not answer must not
    // freeze the window; it is reaped later.
    std::erase_if(m_exited, [](pid_t child) {
        int rc;
        do rc = ::waitpid(child, nullptr, WNOHANG);
        while (rc < 0 && errno == EINTR);
        return rc != 0;
    });
}

bool CHelperConnection::HungUp() const {
    // The helper never speaks unasked: its side closed is all a waiting
    // reading can mean.
    pollfd p{m_socket.Get(), POLLRDHUP, 0};
    int ready;
    do ready = ::poll(&p, 1, 0);
    while (ready < 0 && errno == EINTR);
    return ready > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

IPrivilegedHelper::StartResult CHelperConnection::Start() {
    if (IsRunning()) return StartResult::kStarted;
    if (m_socket.Valid()) Stop();  // ended by itself: reaped before a new one starts
    ReapExited();
    if (m_options.command.empty()) return StartResult::kFailed;
    // Before the socket exists: a process that could trace us or take our
    // descriptors (pidfd_getfd) could speak to the helper as us.
    Guard(true);
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        Guard(false);
        return StartResult::kFailed;
    }
    UniqueFd ours(pair[0]), theirs(pair[1]);

    std::vector<char*> argv;
    for (std::string& a : m_options.command) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, theirs.Get(), STDOUT_FILENO);
    pid_t child = -1;
    int rc = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        Guard(false);
        return StartResult::kFailed;
    }
    theirs.Reset();
    m_socket = std::move(ours);
    m_child = child;

    std::string first;
    if (ReadLine(first, -1) && first == "ready") return StartResult::kStarted;
    m_socket.Reset();
    int status = 0;
    while (::waitpid(m_child, &status, 0) < 0 && errno == EINTR) {
    }
    m_child = -1;
    m_pending.clear();
    Guard(false);
    if (WIFEXITED(status) && (WEXITSTATUS(status) == 126 || WEXITSTATUS(status) == 127))
        return StartResult::kRefused;
    return StartResult::kFailed;
}

bool CHelperConnection::ReadLine(std::string& line, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return true;
        }
        if (m_pending.size() > kMaxHelperReply) return false;
        int wait = -1;
        if (timeoutMs >= 0) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            wait = static_cast<int>(left);
        }
        pollfd p{m_socket.Get(), POLLIN, 0};
        int ready = ::poll(&p, 1, wait);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char buf[4096];
        ssize_t n = ::recv(m_socket.Get(), buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        m_pending.append(buf, static_cast<size_t>(n));
    }
}

std::optional<std::string> CHelperConnection::Ask(const std::string& request) {
    if (!IsRunning()) return std::nullopt;
    std::string_view rest = request;
    while (!rest.empty()) {
        // MSG_NOSIGNAL: a helper that died must not take the window with it.
        ssize_t n = ::send(m_socket.Get(), rest.data(), rest.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            Stop();
            return std::nullopt;
        }
        rest.remove_prefix(static_cast<size_t>(n));
    }
    std::string reply;
    if (!ReadLine(reply, m_options.replyTimeoutMs)) {
        Stop();
        return std::nullopt;
    }
    return reply;
}
