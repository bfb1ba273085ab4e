#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "monitor/MemoryReportList.h"
#include "monitor/Processes.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/SockDiagNetworkSource.h"
#include "platform/linux/SystemClock.h"
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
