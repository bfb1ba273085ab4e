// What the metrics add to a tick at 1,000 processes, and what one scrape
// of 500 programs costs (time and page size).
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <map>
#include <random>

#include "metrics/MetricsCollector.h"
#include "metrics/MetricsText.h"
#include "monitor/Processes.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/ResourceLimits.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/ProcfsTree.h"

namespace {
std::string BenchRoot() {
    if (::access("/dev/shm", W_OK) == 0)
        return "/dev/shm/loadwatch-metrics-bench-" + std::to_string(::getpid());
    return LW_BENCH_TMP;
}

// n processes running `programs` different program files, a few percent
// busy in every tick.
struct Machine {
    Machine(int n, int programs) : tree(BenchRoot() + "/procfs-" + std::to_string(n)) {
        for (int i = 0; i < n; ++i) {
            CProcfsTree::Proc p;
            p.comm = "proc" + std::to_string(i);
            p.exe = "/usr/lib/bench/program-" + std::to_string(i % programs);
            tree.Add(Pid(i), p);
            procs.emplace(Pid(i), p);
        }
    }
    static std::uint32_t Pid(int i) { return 1000 + static_cast<std::uint32_t>(i); }
    void Work(std::mt19937& rng) {
        const int n = static_cast<int>(procs.size());
        for (int k = 0; k < n / 30; ++k) {
            auto& [pid, p] = *procs.find(Pid(static_cast<int>(rng() % static_cast<unsigned>(n))));
            p.utime += 20;
            tree.WriteStat(pid, p);
        }
    }
    CProcfsTree tree;
    std::map<std::uint32_t, CProcfsTree::Proc> procs;
};

// One tick: the snapshot alone (arg 0) or followed by the metrics update
// (arg 1). The difference is the metrics' cost per tick.
void BM_Tick(benchmark::State& state) {
    const bool metrics = state.range(0) != 0;
    Machine machine(1000, 200);
    CFakeClock clock(1700001000);
    CPosixFileSystem files;
    CProcfsProcessSource source({machine.tree.Root(), -1});
    CProcesses table({clock, source, files});
    CMetricsCollector collector;
    table.TakeSnapshot();
    collector.Update(table, clock.Now());
    std::mt19937 rng(1);
    for (auto _ : state) {
        state.PauseTiming();
        machine.Work(rng);
        clock.Advance();
        state.ResumeTiming();
        table.TakeSnapshot();
        if (metrics) collector.Update(table, clock.Now());
    }
    state.counters["programs"] = static_cast<double>(collector.Programs().size());
}
BENCHMARK(BM_Tick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The metrics update alone, per process.
void BM_UpdateOnly(benchmark::State& state) {
    Machine machine(1000, 200);
    CFakeClock clock(1700001000);
    CPosixFileSystem files;
    CProcfsProcessSource source({machine.tree.Root(), -1});
    CProcesses table({clock, source, files});
    CMetricsCollector collector;
    table.TakeSnapshot();
    for (auto _ : state) collector.Update(table, clock.Now());
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_UpdateOnly)->Unit(benchmark::kMicrosecond);

// One scrape of 500 programs with series, in either format.
void BM_Scrape(benchmark::State& state) {
    const auto format = state.range(0) ? MetricsFormat::kOpenMetrics : MetricsFormat::kPrometheus;
    std::map<std::string, ProgramMetrics> programs;
    std::mt19937_64 rng(7);
    for (int i = 0; i < 500; ++i) {
        ProgramMetrics p;
        p.name = "program-" + std::to_string(i);
        p.path = "/usr/lib/x86_64-linux-gnu/some-package/" + p.name;
        p.cpuTime = rng() % 100'000'000'000ull;
        p.readBytes = rng() % 10'000'000'000ull;
        p.writtenBytes = rng() % 10'000'000'000ull;
        p.receivedBytes = rng() % 1'000'000'000ull;
        p.sentBytes = rng() % 1'000'000'000ull;
        p.processes = 1 + static_cast<int>(rng() % 8);
        p.listedProcessor = (rng() % 4) == 0;
        p.busyOnce = true;
        programs.emplace(p.path, p);
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string page = RenderMetrics(programs, format, "1.13");
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    // What travels when the scraper accepts gzip, as Prometheus does.
    const std::string page = RenderMetrics(programs, format, "1.13");
    uLongf packed = compressBound(static_cast<uLong>(page.size()));
    std::string out(packed, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &packed, reinterpret_cast<const Bytef*>(page.data()),
             static_cast<uLong>(page.size()));
    state.counters["page_bytes"] = static_cast<double>(bytes);
    state.counters["deflated_bytes"] = static_cast<double>(packed);
    state.counters["bytes_per_program"] = static_cast<double>(bytes) / 500;
}
BENCHMARK(BM_Scrape)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv) {
    RaiseOpenFileLimit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
