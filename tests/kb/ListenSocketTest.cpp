// The server's own socket in a runtime folder: only this user's, a stale
// one replaced, a live one left alone.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

#include "kb/ListenSocket.h"

namespace {

class ListenSocket : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/lw-kb-listen-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_runtime = pattern;
        m_path = m_runtime + "/loadwatch/kb.sock";
    }
    void TearDown() override { std::filesystem::remove_all(m_runtime); }
    static bool Answers(const std::string& path) {
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        path.copy(addr.sun_path, sizeof addr.sun_path - 1);
        return ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    static unsigned Mode(const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    std::string m_runtime, m_path, m_error;
};

TEST_F(ListenSocket, PathInTheRuntimeFolderOnly) {
    EXPECT_EQ(UserSocketPath(m_runtime.c_str(), m_error), m_path);
    for (const char* bad : {static_cast<const char*>(nullptr), "", "relative/dir", "/nonexistent/runtime"}) {
        m_error.clear();
        EXPECT_EQ(UserSocketPath(bad, m_error), "") << (bad ? bad : "(unset)");
        EXPECT_FALSE(m_error.empty());
    }
}

TEST_F(ListenSocket, PrivateFolderAndSocketThatOutliveNoServer) {
    UnixListener first = ListenUnix(m_path, m_error);
    ASSERT_TRUE(first.fd) << m_error;
    EXPECT_EQ(Mode(m_runtime + "/loadwatch"), 0700u);
    EXPECT_EQ(Mode(m_path), 0600u);
    EXPECT_TRUE(Answers(m_path));

    // A live server keeps its socket.
    UnixListener second = ListenUnix(m_path, m_error);
    EXPECT_FALSE(second.fd);
    EXPECT_NE(m_error.find("another server answers"), std::string::npos) << m_error;

    // One that ended without cleaning up left a stale socket: replaced.
    first.fd.Reset();
    UnixListener third = ListenUnix(m_path, m_error);
    ASSERT_TRUE(third.fd) << m_error;
    EXPECT_TRUE(Answers(m_path));

    RemoveUnixSocket(m_path, third.inode + 1);  // not ours: stays
    EXPECT_TRUE(std::filesystem::exists(m_path));
    RemoveUnixSocket(m_path, third.inode);
    EXPECT_FALSE(std::filesystem::exists(m_path));
}

TEST_F(ListenSocket, RefusesAFolderOthersMayEnter) {
    for (mode_t mode : {0755, 0770, 0701}) {
        std::filesystem::remove_all(m_runtime + "/loadwatch");
        ASSERT_EQ(::mkdir((m_runtime + "/loadwatch").c_str(), 0700), 0);
        ASSERT_EQ(::chmod((m_runtime + "/loadwatch").c_str(), mode), 0);
        m_error.clear();
        EXPECT_FALSE(ListenUnix(m_path, m_error).fd) << std::oct << mode;
        EXPECT_NE(m_error.find("0700"), std::string::npos) << m_error;
    }
    // A link in its place is no folder of ours either.
    std::filesystem::remove_all(m_runtime + "/loadwatch");
    std::filesystem::create_directory_symlink("/tmp", m_runtime + "/loadwatch");
    EXPECT_FALSE(ListenUnix(m_path, m_error).fd);
}

TEST(ListenTcp, AddressesAndPorts) {
    std::string error;
    for (const char* address : {"127.0.0.1", "::1"}) {
        UniqueFd fd = ListenTcp(address, 0, error);
        ASSERT_TRUE(fd) << address << ": " << error;
        EXPECT_GT(ListeningPort(fd.Get()), 0);
    }
    EXPECT_FALSE(ListenTcp("localhost", 0, error));
    EXPECT_NE(error.find("not an IPv4 or IPv6 address"), std::string::npos);
}

}  // namespace
