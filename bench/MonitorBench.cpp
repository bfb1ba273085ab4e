// Cost of one refresh (snapshot + list filling) against a generated procfs
// tree, per process, for tables of different sizes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <random>

#include "monitor/MemoryReportList.h"
#include "monitor/Processes.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/ResourceLimits.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/ProcfsTree.h"

namespace {
// Like procfs, the tree lives in memory where the machine offers it.
std::string BenchRoot() {
    if (::access("/dev/shm", W_OK) == 0) return "/dev/shm/loadwatch-bench-" + std::to_string(::getpid());
    return LW_BENCH_TMP;
}

struct World {
    explicit World(int n) : tree(BenchRoot() + "/procfs-" + std::to_string(n)) {
        CProcfsTree::Proc p;
        for (int i = 0; i < n; ++i) {
            std::uint32_t pid = 1000 + static_cast<std::uint32_t>(i);
            p.comm = "proc" + std::to_string(i);
            p.exe = "/usr/lib/bench/prog" + std::to_string(i % 50);
            p.cmdline = p.exe + std::string("\0--flag", 7);
            tree.Add(pid, p);
            procs.emplace(pid, p);
        }
    }
    CProcfsTree tree;
    std::map<std::uint32_t, CProcfsTree::Proc> procs;
};

// One percent of the processes are busy in each tick.
void BM_Refresh(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    World world(n);
    CFakeClock clock(1700001000);
    CPosixFileSystem files;
    CProcfsProcessSource source({world.tree.Root(), -1});
    CProcesses table({clock, source, files});
    CMemoryReportList list;
    table.TakeSnapshot();
    std::mt19937 rng(1);
    for (auto _ : state) {
        state.PauseTiming();
        for (int k = 0; k < n / 100; ++k) {
            auto it = world.procs.find(1000 + static_cast<std::uint32_t>(rng() % static_cast<unsigned>(n)));
            it->second.utime += 20;
            world.tree.WriteStat(it->first, it->second);
        }
        clock.Advance();
        state.ResumeTiming();
        table.TakeSnapshot();
        table.FillList(list);
        benchmark::DoNotOptimize(list.GetItemCount());
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["cached_fds"] = static_cast<double>(source.CachedDescriptors());
    state.counters["rows"] = list.GetItemCount();
}
BENCHMARK(BM_Refresh)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same with no descriptor kept between ticks: open/read/close each time.
void BM_RefreshUncached(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    World world(n);
    CFakeClock clock(1700001000);
    CPosixFileSystem files;
    CProcfsProcessSource source({world.tree.Root(), 0});
    CProcesses table({clock, source, files});
    CMemoryReportList list;
    table.TakeSnapshot();
    for (auto _ : state) {
        clock.Advance();
        table.TakeSnapshot();
        table.FillList(list);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RefreshUncached)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floor: two preads per process on descriptors held open, nothing
// else. What a refresh costs beyond this is the monitor's own.
void BM_ReadFloor(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    World world(n);
    std::vector<int> fds;
    for (const auto& [pid, proc] : world.procs)
        for (const char* f : {"/stat", "/io"}) {
            int fd = ::open((world.tree.Root() + "/" + std::to_string(pid) + f).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) fds.push_back(fd);
        }
    char buf[4096];
    for (auto _ : state)
        for (int fd : fds) benchmark::DoNotOptimize(::pread(fd, buf, sizeof buf, 0));
    for (int fd : fds) ::close(fd);
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["fds"] = static_cast<double>(fds.size());
}
BENCHMARK(BM_ReadFloor)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The listing alone, to tell its share of a refresh.
void BM_Enumerate(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    World world(n);
    CProcfsProcessSource source({world.tree.Root(), -1});
    std::vector<std::uint32_t> pids;
    for (auto _ : state) source.EnumerateProcesses(pids);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_Enumerate)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Lookups in a large table stay constant-time.
void BM_FindByPid(benchmark::State& state) {
    CFakeClock clock;
    CPosixFileSystem files;
    CProcfsProcessSource source({"/nonexistent", 0});
    CProcesses table({clock, source, files});
    const auto n = static_cast<std::uint32_t>(state.range(0));
    for (std::uint32_t pid = 1; pid <= n; ++pid) table.FindOrAdd(pid);
    std::uint32_t pid = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.FindByPid(pid));
        pid = pid % n + 1;
    }
}
BENCHMARK(BM_FindByPid)->Arg(1000)->Arg(10000);
}  // namespace

int main(int argc, char** argv) {
    RaiseOpenFileLimit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
