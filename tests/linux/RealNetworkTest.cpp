#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "monitor/MemoryReportList.h"
#include "monitor/Processes.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/SockDiagNetworkSource.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/UniqueFd.h"
#include "tests/linux/ChildProcess.h"

namespace {

bool WaitFor(const std::filesystem::path& file) {
    for (int i = 0; i < 500 && !std::filesystem::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::filesystem::exists(file);
}

std::string WaitForPort(const std::filesystem::path& file) {
    WaitFor(file);
    std::ifstream in(file);
    std::string port;
    in >> port;
    return port;
}

// A server of the test's own on 127.0.0.1 sends to one child and keeps a
// silent connection to another: the sender and the receiver show network
// activity, the silent child does not.
TEST(RealNetwork, DownloaderAndServerAreListedTheSilentPeerIsNot) {
    const std::filesystem::path dir =
        std::filesystem::path(LW_TEST_TMP) / ("net-" + std::to_string(::getpid()));
    const std::filesystem::path portFile = dir / "port", idleFile = dir / "idle";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    Child server({LW_NET, "serve", portFile.string()});
    const std::string port = WaitForPort(portFile);
    ASSERT_FALSE(port.empty()) << "server did not start";
    // The silent peer's one byte must be said before the first snapshot.
    Child idle({LW_NET, "idle", port, idleFile.string()});
    ASSERT_TRUE(WaitFor(idleFile)) << "silent peer did not connect";

    CSystemClock clock;
    CProcfsProcessSource source;
    CPosixFileSystem files;
    CSockDiagNetworkSource network;
    CProcesses table{{clock, source, files, nullptr, &network}};
    table.TakeSnapshot();
    Child fetch({LW_NET, "fetch", port});
    CMemoryReportList list;
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        table.TakeSnapshot();
    }
    table.FillList(list);
    auto activity = [&](pid_t pid) {
        for (int r = 0; r < list.GetItemCount(); ++r)
            if (list.GetItemData(r) == static_cast<std::uint32_t>(pid)) return list.GetItemText(r, 1);
        return std::string("(not listed)");
    };
    EXPECT_NE(activity(fetch.Pid()).find("Network"), std::string::npos) << activity(fetch.Pid());
    EXPECT_NE(activity(server.Pid()).find("Network"), std::string::npos) << activity(server.Pid());
    EXPECT_EQ(activity(idle.Pid()).find("Network"), std::string::npos) << activity(idle.Pid());
    std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

class CFakeLister : public ISocketLister {
public:
    bool available = false;
    std::map<std::uint32_t, std::vector<std::uint64_t>> sockets;
    bool Available() override { return available; }
    bool ListSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes) override {
        auto it = sockets.find(pid);
        if (it == sockets.end()) return false;
        inodes.insert(inodes.end(), it->second.begin(), it->second.end());
        return true;
    }
};

// A process whose fd folder cannot be read is placed through the lister,
// once it is available; before, its socket stays unplaced.
TEST(RealNetwork, UnreadableHoldersArePlacedThroughTheLister) {
    const std::filesystem::path root =
        std::filesystem::path(LW_TEST_TMP) / ("proc-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "4242");  // no fd folder: as if refused
    UniqueFd listener(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener.Get(), 1), 0);
    ASSERT_EQ(getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
    UniqueFd client(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_EQ(connect(client.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    UniqueFd server(accept(listener.Get(), nullptr, nullptr));
    struct stat st {};
    ASSERT_EQ(fstat(client.Get(), &st), 0);

    CFakeLister lister;
    lister.sockets[4242] = {st.st_ino};
    CSockDiagNetworkSource network(root.string(), &lister);
    auto holder = [&] {
        std::vector<SocketTraffic> sockets;
        EXPECT_TRUE(network.GetSocketTraffic(sockets));
        for (const SocketTraffic& s : sockets)
            if (s.inode == st.st_ino) return static_cast<long>(s.pid);
        return -1L;
    };
    EXPECT_EQ(holder(), 0);
    ASSERT_EQ(write(client.Get(), "x", 1), 1);
    EXPECT_EQ(holder(), 0) << "searched once, not again";
    lister.available = true;
    EXPECT_EQ(holder(), 4242);
    std::filesystem::remove_all(root);
}

}  // namespace

namespace {
TEST(TcpSegments, ReadsBothCountersByName) {
    const char snmp[] =
        "Ip: Forwarding DefaultTTL\nIp: 1 64\n"
        "Tcp: RtoAlgorithm RtoMin RtoMax MaxConn ActiveOpens PassiveOpens AttemptFails EstabResets "
        "CurrEstab InSegs OutSegs RetransSegs InErrs OutRsts InCsumErrors\n"
        "Tcp: 1 200 120000 -1 11561 11512 30 36 0 512342 511760 100 0 57 0\n"
        "Udp: InDatagrams\nUdp: 5\n";
    EXPECT_EQ(ParseTcpSegments(snmp), "InSegs=512342 OutSegs=511760 ");
    EXPECT_EQ(ParseTcpOpens(snmp), "ActiveOpens=11561 PassiveOpens=11512 ");
    for (const char* bad : {"", "Tcp: InSegs OutSegs\n", "Udp: InSegs\nUdp: 1\n", "XTcp: InSegs\nXTcp: 1\n"})
        EXPECT_EQ(ParseTcpSegments(bad), "") << bad;
    // The machine's own file reads too.
    std::ifstream in("/proc/net/snmp");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(ParseTcpSegments(text).find("InSegs="), std::string::npos) << text;
}
}  // namespace

namespace {
// A connected pair of TCP sockets on 127.0.0.1 in this process.
void LoopbackPair(UniqueFd& a, UniqueFd& b) {
    UniqueFd listener(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    a.Reset(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    ASSERT_EQ(bind(listener.Get(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(listen(listener.Get(), 1), 0);
    ASSERT_EQ(getsockname(listener.Get(), reinterpret_cast<sockaddr*>(&at), &length), 0);
    ASSERT_EQ(connect(a.Get(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    b.Reset(accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    ASSERT_TRUE(b.Valid());
}

std::uint64_t InodeOf(const UniqueFd& fd) {
    struct stat st {};
    return fstat(fd.Get(), &st) == 0 ? st.st_ino : 0;
}

const SocketTraffic* Find(const std::vector<SocketTraffic>& sockets, std::uint64_t inode) {
    for (const SocketTraffic& s : sockets)
        if (s.inode == inode) return &s;
    return nullptr;
}

// Sockets already placed are read by their exact address while no
// connection opens; their bytes still count, and a closed one drops out.
// Connections other programs open meanwhile force a dump, so each step is
// tried a few times.
TEST(RealNetwork, KnownSocketsAreReadByAddressWithoutADump) {
    CSockDiagNetworkSource source;
    UniqueFd a, b;
    LoopbackPair(a, b);
    std::vector<SocketTraffic> sockets;
    ASSERT_TRUE(source.GetSocketTraffic(sockets));
    const SocketTraffic* first = Find(sockets, InodeOf(a));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pid, static_cast<std::uint32_t>(getpid()));
    const std::uint64_t before = first->bytes - first->received;
    bool lookedUp = false;
    std::uint64_t written = 0;
    for (int attempt = 0; attempt < 10 && !lookedUp; ++attempt) {
        const std::uint64_t lookups = source.Lookups();
        char data[1000] = {};
        ASSERT_EQ(write(a.Get(), data, sizeof data), static_cast<ssize_t>(sizeof data));
        ASSERT_EQ(recv(b.Get(), data, sizeof data, MSG_WAITALL), static_cast<ssize_t>(sizeof data));
        written += sizeof data;
        ASSERT_TRUE(source.GetSocketTraffic(sockets));
        lookedUp = source.Lookups() == lookups + 1;
    }
    ASSERT_TRUE(lookedUp) << "every reading took a dump";
    const SocketTraffic* after = Find(sockets, InodeOf(a));
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->bytes - after->received - before, written);
    EXPECT_EQ(after->pid, static_cast<std::uint32_t>(getpid()));
    ASSERT_NE(Find(sockets, InodeOf(b)), nullptr);
    EXPECT_GE(Find(sockets, InodeOf(b))->received, written);

    const std::uint64_t closed = InodeOf(a);
    a.Reset();
    bool gone = false;
    for (int attempt = 0; attempt < 50 && !gone; ++attempt) {
        ASSERT_TRUE(source.GetSocketTraffic(sockets));
        gone = Find(sockets, closed) == nullptr;
        if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(gone) << "dumps " << source.Dumps() << " lookups " << source.Lookups();
}
}  // namespace
