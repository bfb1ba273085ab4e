// The real loadwatch-kb, started by each test on 127.0.0.1, asked over
// plain sockets so that requests can be as broken as a test needs.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "kb/KbHttpServer.h"
#include "kb/Query.h"
#include "tests/kb/FactTree.h"
#include "tests/kb/QueryBuilder.h"

namespace {

struct Reply {
    int status = 0;
    std::string body;
};

// Sends raw bytes on a connected socket and reads one reply.
Reply AskOn(int fd, const std::string& request) {
    Reply reply;
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    for (std::size_t sent = 0; sent < request.size();) {
        ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    // Read one reply: the server may keep the connection open after it.
    std::string all;
    char buffer[8192];
    std::size_t head = std::string::npos, length = 0;
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        all.append(buffer, static_cast<std::size_t>(n));
        if (head == std::string::npos && (head = all.find("\r\n\r\n")) != std::string::npos) {
            std::size_t field = all.find("Content-Length: ");
            if (field != std::string::npos && field < head)
                length = std::strtoul(all.c_str() + field + 16, nullptr, 10);
        }
        if (head != std::string::npos && all.size() >= head + 4 + length) break;
    }
    if (all.size() > 12) reply.status = std::atoi(all.c_str() + 9);
    if (head != std::string::npos) reply.body = all.substr(head + 4);
    return reply;
}

// Sends raw bytes to 127.0.0.1:port and reads the reply.
Reply Ask(int port, const std::string& request) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Reply reply;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) reply = AskOn(fd, request);
    close(fd);
    return reply;
}

Reply Get(int port, const std::string& target) {
    return Ask(port,
               "GET " + target +
                   " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: LDWT Browser\r\nConnection: close\r\n\r\n");
}

// loadwatch-kb as a child of the test; ended and reaped with the object.
class CServerProcess {
public:
    // extraFd, if not -1, becomes the child's fd 3 with LISTEN_PID and
    // LISTEN_FDS set, as systemd hands over a socket.
    explicit CServerProcess(std::vector<std::string> args, int extraFd = -1) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            if (extraFd >= 0) {
                // dup2 onto itself keeps close-on-exec: clear it then.
                if (extraFd == 3)
                    fcntl(3, F_SETFD, 0);
                else
                    dup2(extraFd, 3);
                setenv("LISTEN_PID", std::to_string(getpid()).c_str(), 1);
                setenv("LISTEN_FDS", "1", 1);
            }
            std::vector<char*> argv{const_cast<char*>(KB_SERVER_PATH)};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(KB_SERVER_PATH, argv.data());
            _exit(127);
        }
        close(out[1]);
        std::string line;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
        close(out[0]);
        m_firstLine = line;
        std::size_t colon = line.rfind(':');
        if (line.find("listening on") != std::string::npos && colon != std::string::npos)
            m_port = std::atoi(line.c_str() + colon + 1);
    }
    ~CServerProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status = 0;
            waitpid(m_pid, &status, 0);
        }
    }
    int Port() const { return m_port; }
    pid_t Pid() const { return m_pid; }
    const std::string& FirstLine() const { return m_firstLine; }
    // Ends the server and returns its exit status (-1 if it did not exit).
    int Stop() {
        kill(m_pid, SIGTERM);
        return Wait();
    }
    int Wait() {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Where the server's descriptors point right now.
    std::vector<std::string> OpenFiles() const {
        std::vector<std::string> targets;
        std::error_code ec;
        for (const auto& entry :
             std::filesystem::directory_iterator("/proc/" + std::to_string(m_pid) + "/fd", ec)) {
            auto target = std::filesystem::read_symlink(entry.path(), ec);
            if (!ec) targets.push_back(target.string());
        }
        return targets;
    }

private:
    pid_t m_pid = -1;
    int m_port = 0;
    std::string m_firstLine;
};

class KbHttp : public ::testing::Test {
protected:
    CFactTree m_tree;
    CServerProcess m_server{{"--listen", "127.0.0.1:0", "--facts-root", m_tree.Root()}};
    void SetUp() override { ASSERT_GT(m_server.Port(), 0) << m_server.FirstLine(); }
};

bool IsShortPage(const std::string& body) {
    return body.size() < 1024 && body.find("<html>") != std::string::npos;
}

TEST_F(KbHttp, EachMissingKeyGetsA400) {
    for (const auto& [key, value] : QueryDefaults()) {
        Reply r = Get(m_server.Port(), KbTarget({}, key));
        EXPECT_EQ(r.status, 400) << key;
        EXPECT_NE(r.body.find("&quot;" + key + "&quot; is missing"), std::string::npos) << r.body;
    }
}

TEST_F(KbHttp, BrokenRequestsGetAShortPageAndTheServerCarriesOn) {
    const std::string head = " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    struct Case {
        const char* name;
        std::string request;
        std::vector<int> statuses;
    } cases[] = {
        {"invalid escape", "GET " + KbTarget({}, "fd") + "&fd=%zz" + head, {400}},
        {"escaped NUL", "GET " + KbTarget({}, "fd") + "&fd=a%00b" + head, {400}},
        // The request line ends at a raw NUL, so a key behind it is missing.
        {"raw NUL", "GET " + KbTarget({}, "fn") + std::string(1, '\0') + "&fn=b" + head, {400}},
        {"64 KiB value", "GET " + KbTarget({{"fd", std::string(64 * 1024, 'a')}}) + head, {400, 414}},
        {"URL of 7 KiB", "GET " + KbTarget({{"c", std::string(7 * 1024, 'a')}}) + head, {400}},
        {"flag", "GET " + KbTarget({{"se", "<b>"}}) + head, {400}},
        {"other path", "GET /etc/shadow" + head, {404}},
        {"other method", "POST " + KbTarget() + " HTTP/1.1\r\nContent-Length: 0\r\n\r\n", {400, 404, 405}},
        // What is no request line at all is dropped without an answer (0).
        {"blank request line", std::string(" \r\n\r\n"), {0, 400}},
        {"blank in the target", "GET /index.php x" + head, {0, 400}},
        {"garbage", std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 16), {0, 400}},
    };
    for (const Case& c : cases) {
        Reply r = Ask(m_server.Port(), c.request);
        EXPECT_TRUE(std::find(c.statuses.begin(), c.statuses.end(), r.status) != c.statuses.end())
            << c.name << ": " << r.status;
        EXPECT_TRUE(r.status == 0 || IsShortPage(r.body)) << c.name << ": " << r.body;
    }
    EXPECT_EQ(Get(m_server.Port(), KbTarget()).status, 200);
}

// A target is measured against the query's limits (a page saying it is too
// long) and the server's (414). Each holds up to its last byte.
TEST_F(KbHttp, RequestsUpToEachLimitGetThrough) {
    const std::size_t serverLimit = KbHttpLimits{}.maxTargetBytes;
    auto targetOf = [](std::size_t bytes) {
        std::string target = KbTarget() + "&pad=";
        target.append(bytes - target.size(), 'a');  // a key the query ignores
        return target;
    };
    struct Case {
        const char* name;
        std::string target;
        int status;
    } cases[] = {
        {"value at the limit", KbTarget({{"fd", std::string(kMaxValueBytes, 'a')}}), 200},
        {"value past it", KbTarget({{"fd", std::string(kMaxValueBytes + 1, 'a')}}), 400},
        {"query at the limit", targetOf(kMaxTargetBytes), 200},
        {"query past it", targetOf(kMaxTargetBytes + 1), 400},
        {"server at the limit", targetOf(serverLimit), 400},
        {"server past it", targetOf(serverLimit + 1), 414},
    };
    for (const Case& c : cases) {
        Reply r = Get(m_server.Port(), c.target);
        EXPECT_EQ(r.status, c.status) << c.name;
        if (c.status == 400) {
            EXPECT_NE(r.body.find("too long"), std::string::npos) << c.name << ": " << r.body;
        }
    }
}

TEST_F(KbHttp, HostileValuesComeBackEscaped) {
    std::map<std::string, std::string> changes;
    for (const char* key : {"fn", "p", "ct1", "ct2", "ct3", "pn", "fv", "fd", "cn", "lc", "c", "in"})
        changes[key] = "<script>x<b onclick=y>\"'";
    Reply r = Get(m_server.Port(), KbTarget(changes));
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body.find("<script"), std::string::npos) << r.body;
    EXPECT_NE(r.body.find("&lt;script&gt;x&lt;b onclick=y&gt;&quot;&#39;"), std::string::npos) << r.body;

    // A name that steers a terminal (CSI as C1) or reads backwards (U+202E).
    r = Get(m_server.Port(), KbTarget({{"fn",
                                        "evil\xc2\x9b"
                                        "2J\xe2\x80\xaetxt.exe"}}));
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body.find("\xc2\x9b"), std::string::npos) << r.body;
    EXPECT_EQ(r.body.find("\xe2\x80\xae"), std::string::npos) << r.body;
    // Shown escaped, as the console and the list show it.
    EXPECT_NE(r.body.find("<h3>evil\\xc2\\x9b2J\\xe2\\x80\\xaetxt.exe</h3>"), std::string::npos) << r.body;
}

TEST_F(KbHttp, PathsInTheQueryOpenNothing) {
    const std::vector<std::string> before = m_server.OpenFiles();
    std::atomic<bool> done{false};
    std::vector<std::string> seen;
    std::thread watcher([&] {
        while (!done)
            for (std::string& target : m_server.OpenFiles()) seen.push_back(std::move(target));
    });
    for (int round = 0; round < 50; ++round) {
        for (const auto& [fn, folder] :
             std::vector<std::pair<std::string, std::string>>{{"shadow", "/etc"},
                                                              {"shadow", "/usr/bin/../../etc"},
                                                              {"passwd", "../../../etc"},
                                                              {"status", m_tree.Root() + "/var/lib/dpkg"}})
            EXPECT_EQ(Get(m_server.Port(), KbTarget({{"fn", fn}, {"p", folder}})).status, 200);
    }
    done = true;
    watcher.join();
    for (const std::string& target : seen) {
        EXPECT_EQ(target.find("/etc/"), std::string::npos) << target;
        EXPECT_EQ(target.find(m_tree.Root()), std::string::npos) << target;
    }
    // Connections may still be closing; files must be just what they were.
    auto files = [](std::vector<std::string> targets) {
        std::erase_if(targets, [](const std::string& t) { return t.rfind("socket:", 0) == 0; });
        std::sort(targets.begin(), targets.end());
        return targets;
    };
    EXPECT_EQ(files(m_server.OpenFiles()), files(before));
}

// systemd hands over the user's Unix socket, or a TCP one an administrator
// configured: both are served.
TEST(KbServer, ServesASocketHandedOverBySystemd) {
    CFactTree tree;
    const std::string socketPath = tree.Root() + "/kb.sock";
    const std::string head = " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
    for (int family : {AF_INET, AF_UNIX}) {
        int listener = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        sockaddr_un unixAddr{};
        if (family == AF_INET) {
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            socklen_t length = sizeof addr;
            ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
            ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length), 0);
        } else {
            unixAddr.sun_family = AF_UNIX;
            socketPath.copy(unixAddr.sun_path, sizeof unixAddr.sun_path - 1);
            ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&unixAddr), sizeof unixAddr), 0);
        }
        ASSERT_EQ(listen(listener, 16), 0);
        // --listen names a port it must not take: the handed socket wins.
        CServerProcess server({"--listen", "127.0.0.1:1", "--facts-root", tree.Root()}, listener);
        close(listener);
        EXPECT_NE(server.FirstLine().find("handed over"), std::string::npos) << server.FirstLine();
        Reply r;
        if (family == AF_INET) {
            r = Get(ntohs(addr.sin_port), KbTarget());
        } else {
            int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&unixAddr), sizeof unixAddr), 0);
            r = AskOn(fd, "GET " + KbTarget() + head);
            close(fd);
        }
        EXPECT_EQ(r.status, 200) << family;
        EXPECT_NE(r.body.find("<b>Intact</b>"), std::string::npos);
        EXPECT_EQ(server.Stop(), 0);  // SIGTERM ends it cleanly
    }
}

TEST(KbServer, CommandLine) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
    } cases[] = {
        {{"--help"}, 0},
        {{"--bogus"}, 2},
        {{"--listen"}, 2},
        {{"--listen", "127.0.0.1"}, 2},
        {{"--listen", "127.0.0.1:65536"}, 2},
        {{"--listen", "::1:8642"}, 2},
        {{"--refresh", "0"}, 2},
        {{"--db", "/nonexistent-folder/kb.db", "--listen", "127.0.0.1:0"}, 1},
        {{"--refresh", "5"}, 1},  // the user's socket, in a runtime folder that does not exist
    };
    ::setenv("XDG_RUNTIME_DIR", "/nonexistent-runtime", 1);
    for (Case& c : cases) {
        CServerProcess server(c.args);
        EXPECT_EQ(server.Wait(), c.exitCode) << c.args[0];
    }
}

}  // namespace
