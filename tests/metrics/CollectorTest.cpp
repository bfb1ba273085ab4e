#include <gtest/gtest.h>

#include <functional>

#include "metrics/MetricsCollector.h"
#include "monitor/Processes.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeNetworkSource.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {
constexpr std::uint64_t kSecond = 10'000'000;

// Process 10 runs /bin/a from the start, with some history already.
struct World {
    CFakeClock clock{5000};
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeNetworkSource network;
    CProcesses table{{clock, source, files, nullptr, &network}};
    CMetricsCollector collector{60};

    World() {
        source.Add(10, "/bin/a");
        source.AddCpu(10, 50 * kSecond);
        source.AddIo(10, 1000, 2000);
        network.Put(1, 10, 300, 100);
        Tick();
    }
    void Tick(std::int64_t seconds = 1) {
        clock.Advance(seconds);
        table.TakeSnapshot();
        collector.Update(table, clock.Now());
    }
    const ProgramMetrics* Program(const std::string& path) {
        auto it = collector.Programs().find(path);
        return it == collector.Programs().end() ? nullptr : &it->second;
    }
};

TEST(MetricsCollector, CountsWhatEachProgramDidSinceStart) {
    struct Case {
        const char* name;
        std::function<void(World&)> act;
        std::uint64_t cpu, read, written, received, sent;
    } const cases[] = {
        {"history before the first tick is not counted", [](World&) {}, 0, 0, 0, 0, 0},
        {"growth of a running process",
         [](World& w) {
             w.source.AddCpu(10, 2 * kSecond, kSecond);
             w.source.AddIo(10, 10, 20);
             w.network.Put(1, 10, 400, 130);
         },
         3 * kSecond, 10, 20, 30, 70},
        {"a process born since counts from zero, together with its program's others",
         [](World& w) {
             w.source.Add(11, "/bin/a");
             w.source.AddCpu(11, kSecond);
             w.source.AddIo(11, 0, 4096);
             w.network.Put(2, 11, 50, 50);
         },
         kSecond, 0, 4096, 50, 0},
        {"a process that ends keeps its share",
         [](World& w) {
             w.source.AddCpu(10, kSecond);
             w.Tick();
             w.source.Remove(10);
         },
         kSecond, 0, 0, 0, 0},
        {"an id given to a new process is not compared with the old one",
         [](World& w) {
             w.source.AddCpu(10, kSecond);
             w.Tick();
             auto& p = w.source.Add(10, "/bin/a");
             p.times->creation = 123;
             p.times->user = kSecond / 2;
         },
         kSecond + kSecond / 2, 0, 0, 0, 0},
        {"after an exec the growth goes to the new program",
         [](World& w) {
             w.source.AddCpu(10, kSecond);
             w.Tick();
             w.table.FindByPid(10)->m_strPath = "/bin/b";
             w.source.AddCpu(10, 2 * kSecond);
         },
         kSecond, 0, 0, 0, 0},
        {"counters that went down are a new baseline, not a loss",
         [](World& w) {
             w.source.procs.at(10).times->user = 0;
             w.source.procs.at(10).io->readBytes = 0;
             w.Tick();
             w.source.AddCpu(10, kSecond);
         },
         kSecond, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World w;
        // Something must be busy for the program to have series; that
        // does not change its counters.
        c.act(w);
        w.Tick();
        w.Tick();
        const ProgramMetrics* p = w.Program("/bin/a");
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->cpuTime, c.cpu);
        EXPECT_EQ(p->readBytes, c.read);
        EXPECT_EQ(p->writtenBytes, c.written);
        EXPECT_EQ(p->receivedBytes, c.received);
        EXPECT_EQ(p->sentBytes, c.sent);
    }
}

TEST(MetricsCollector, SeriesStartWhenBusyAndEndAfterTheQuietPeriod) {
    World w;
    w.source.Add(20, "/bin/idle");
    w.Tick();
    EXPECT_FALSE(w.Program("/bin/a")->busyOnce) << "never busy: no series";
    EXPECT_EQ(w.Program("/bin/idle")->processes, 1);

    w.source.AddCpu(10, kSecond);
    w.source.AddIo(10, 1);
    w.Tick();
    const ProgramMetrics* a = w.Program("/bin/a");
    EXPECT_TRUE(a->busyOnce);
    EXPECT_TRUE(a->listedProcessor);
    EXPECT_TRUE(a->listedDisk);
    EXPECT_FALSE(a->listedNetwork);

    w.source.Remove(10);
    w.Tick();
    EXPECT_TRUE(w.Program("/bin/a")->listedProcessor) << "listed as closed, with its activity";
    EXPECT_EQ(w.Program("/bin/a")->processes, 0);
    w.source.Add(10, "/bin/a");

    w.Tick(21);
    EXPECT_FALSE(w.Program("/bin/a")->listedProcessor) << "listed for 20 s only";
    EXPECT_TRUE(w.Program("/bin/a")->busyOnce) << "series stay through the quiet period";

    w.source.Remove(20);
    w.Tick(61);
    a = w.Program("/bin/a");
    ASSERT_NE(a, nullptr) << "still running: kept, from zero";
    EXPECT_FALSE(a->busyOnce);
    EXPECT_EQ(a->cpuTime, 0u);
    EXPECT_EQ(w.Program("/bin/idle"), nullptr) << "quiet and gone: forgotten";

    w.source.AddCpu(10, kSecond);
    w.Tick();
    EXPECT_TRUE(w.Program("/bin/a")->busyOnce);
    EXPECT_EQ(w.Program("/bin/a")->cpuTime, kSecond);
}

TEST(MetricsCollector, ProcessesWithoutAPathShareOneUnknownProgram) {
    World w;
    for (std::uint32_t pid : {30u, 31u}) {
        auto& p = w.source.Add(pid);
        p.openable = false;
    }
    w.Tick();
    const ProgramMetrics* unknown = w.Program("");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->name, CMetricsCollector::kUnknownName);
    EXPECT_EQ(unknown->processes, 2);
}
}  // namespace
