// What the network source adds to a tick: the sampler over the real /proc
// with 1,000 processes of the benchmark's own, with and without the source,
// while 50 of them hold 5,000 TCP sockets on 127.0.0.1. The real /proc, as
// the kernel's own cost of each read is what a tick really pays.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "monitor/Processes.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/ResourceLimits.h"
#include "platform/linux/SockDiagNetworkSource.h"
#include "tests/fakes/FakeClock.h"

namespace {

constexpr int kProcesses = 1000;
constexpr int kHolders = 50;
// Two sockets each: 5,000 in all. LW_BENCH_CONNECTIONS_PER_HOLDER=1 gives
// the 100 sockets of a quiet desktop.
const int kConnectionsPerHolder = [] {
    const char* given = std::getenv("LW_BENCH_CONNECTIONS_PER_HOLDER");
    return given && std::atoi(given) > 0 ? std::atoi(given) : 50;
}();

// Children that each hold their connections (both ends) until killed.
class SocketHolders {
public:
    SocketHolders() {
        for (int i = 0; i < kHolders; ++i) {
            int ready[2];
            if (pipe(ready) != 0) break;
            pid_t pid = fork();
            if (pid == 0) {
                close(ready[0]);
                Hold(ready[1]);
                _exit(0);
            }
            close(ready[1]);
            char c;
            if (pid > 0 && read(ready[0], &c, 1) == 1) m_pids.push_back(pid);
            close(ready[0]);
        }
    }
    ~SocketHolders() {
        for (pid_t pid : m_pids) kill(pid, SIGKILL);
        for (pid_t pid : m_pids) waitpid(pid, nullptr, 0);
    }
    std::size_t Count() const { return m_pids.size(); }

private:
    static void Hold(int ready) {
        int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener, 64) != 0 ||
            getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length) != 0)
            _exit(1);
        for (int i = 0; i < kConnectionsPerHolder; ++i) {
            int fd = socket(AF_INET, SOCK_STREAM, 0);
            if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
                accept(listener, nullptr, nullptr) < 0)
                _exit(1);
        }
        close(listener);
        char c = 1;
        if (write(ready, &c, 1) != 1) _exit(1);
        for (;;) pause();
    }
    std::vector<pid_t> m_pids;
};

// A connected pair of TCP sockets on 127.0.0.1 in this process.
void LoopbackPair(int fds[2]) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    fds[0] = socket(AF_INET, SOCK_STREAM, 0);
    if (bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(listener, 1) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length) == 0 &&
        connect(fds[0], reinterpret_cast<sockaddr*>(&a), sizeof a) == 0)
        fds[1] = accept(listener, nullptr, nullptr);
    close(listener);
}

// Children that only sleep until killed.
class Sleepers {
public:
    explicit Sleepers(int n) {
        for (int i = 0; i < n; ++i) {
            pid_t pid = fork();
            if (pid == 0) {
                for (;;) pause();
            }
            if (pid > 0) m_pids.push_back(pid);
        }
    }
    ~Sleepers() {
        for (pid_t pid : m_pids) kill(pid, SIGKILL);
        for (pid_t pid : m_pids) waitpid(pid, nullptr, 0);
    }

private:
    std::vector<pid_t> m_pids;
};

struct World {
    SocketHolders holders;
    Sleepers sleepers{kProcesses - kHolders};
};

World& TheWorld() {
    static World world;
    return world;
}

// Arg 0: no network source; 1: the source, sockets silent; 2: the source,
// one byte sent on loopback before each tick, so the TCP counters move
// before every tick and the sockets must be read.
void BM_Tick(benchmark::State& state) {
    const bool withNetwork = state.range(0) != 0;
    const bool traffic = state.range(0) == 2;
    int tcp[2] = {-1, -1};
    if (traffic) LoopbackPair(tcp);
    World& world = TheWorld();
    CFakeClock clock(1700001000);
    CPosixFileSystem files;
    CProcfsProcessSource source;
    CSockDiagNetworkSource network;
    CProcesses table({clock, source, files, nullptr, withNetwork ? &network : nullptr});
    table.TakeSnapshot();  // the first tick places every socket
    std::vector<SocketTraffic> sockets;
    network.GetSocketTraffic(sockets);
    for (auto _ : state) {
        if (traffic) {
            state.PauseTiming();
            char c = 0;
            if (write(tcp[0], &c, 1) != 1 || read(tcp[1], &c, 1) != 1) state.SkipWithError("loopback");
            state.ResumeTiming();
        }
        clock.Advance();
        table.TakeSnapshot();
    }
    for (int fd : tcp)
        if (fd >= 0) close(fd);
    state.counters["holders"] = static_cast<double>(world.holders.Count());
    state.counters["processes"] = table.GetSize();
    state.counters["sockets"] = static_cast<double>(sockets.size());
    state.counters["searches"] = static_cast<double>(network.Searches());
    // Ticks that needed a dump, and those that read the known sockets by
    // address; the others found the TCP counters unmoved.
    state.counters["dumped"] =
        static_cast<double>(network.Dumps()) / static_cast<double>(state.iterations() + 2);
    state.counters["looked_up"] =
        static_cast<double>(network.Lookups()) / static_cast<double>(state.iterations() + 2);
}
BENCHMARK(BM_Tick)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The first reading, when every socket's holder is searched for.
void BM_PlaceAllSockets(benchmark::State& state) {
    TheWorld();
    std::vector<SocketTraffic> sockets;
    for (auto _ : state) {
        CSockDiagNetworkSource network;
        network.GetSocketTraffic(sockets);
    }
    state.counters["sockets"] = static_cast<double>(sockets.size());
}
BENCHMARK(BM_PlaceAllSockets)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {
void BM_SourceOnly(benchmark::State& state) {
    TheWorld();
    std::vector<SocketTraffic> sockets;
    CSockDiagNetworkSource network;
    network.GetSocketTraffic(sockets);
    for (auto _ : state) network.GetSocketTraffic(sockets);
}
BENCHMARK(BM_SourceOnly)->Unit(benchmark::kMillisecond);
}  // namespace
int main(int argc, char** argv) {
    RaiseOpenFileLimit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
