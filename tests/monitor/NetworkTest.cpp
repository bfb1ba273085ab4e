#include <gtest/gtest.h>

#include <functional>

#include "monitor/Processes.h"
#include "platform/FileTime.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeNetworkSource.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {

// Processes 10 and 11 exist from the start; socket 1 belongs to 10, socket
// 2 to 11, both with traffic before the first snapshot.
struct World {
    CFakeClock clock{5000};
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeNetworkSource network;
    CProcesses table{{clock, source, files, nullptr, &network}};

    World() {
        source.Add(10, "/a/ten");
        source.Add(11, "/a/eleven");
        network.Put(1, 10, 5000);
        network.Put(2, 11, 7000);
        table.TakeSnapshot();
        Tick();
    }
    void Tick() {
        clock.Advance();
        table.TakeSnapshot();
    }
    bool Busy(std::uint32_t pid) { return table.FindByPid(pid)->m_tLastNetwork == clock.Now(); }
};

TEST(NetworkSampling, OnlyTrafficMovedByTheHolderCounts) {
    struct Case {
        const char* name;
        std::function<void(World&)> change;
        bool ten, eleven;
    } const cases[] = {
        {"no change", [](World&) {}, false, false},
        {"growth", [](World& t) { t.network.Put(1, 10, 5001); }, true, false},
        {"counter went down", [](World& t) { t.network.Put(1, 10, 100); }, false, false},
        {"closed socket", [](World& t) { t.network.sockets.erase(2); }, false, false},
        {"socket passed to another process", [](World& t) { t.network.Put(1, 11, 9000); }, false, false},
        {"new socket since the last reading", [](World& t) { t.network.Put(3, 11, 10); }, false, true},
        {"holder found only now",
         [](World& t) {
             t.network.Put(4, 0, 10);
             t.Tick();
             t.network.Put(4, 10, 20);
         },
         true, false},
        {"failed reading, then growth against the last good one",
         [](World& t) {
             t.network.fail = true;
             t.Tick();
             t.network.fail = false;
             t.network.Put(2, 11, 7001);
         },
         false, true},
    };
    for (const Case& c : cases) {
        World t;
        c.change(t);
        t.Tick();
        EXPECT_EQ(t.Busy(10), c.ten) << c.name;
        EXPECT_EQ(t.Busy(11), c.eleven) << c.name;
    }
}

TEST(NetworkSampling, NewProcessCountsOnlyWhenBornSinceTheLastSnapshot) {
    World t;
    CFakeProcessSource& source = t.source;
    CFakeNetworkSource& network = t.network;
    CFakeClock& clock = t.clock;
    // 12 was running before the table saw it; 13 starts now.
    auto& old = source.Add(12, "/a/old");
    old.times->creation = 1;
    network.Put(5, 12, 100);
    auto& born = source.Add(13, "/a/born");
    born.times->creation = TimeToFileTime(clock.Now() + 1);  // in the second after the snapshot
    network.Put(6, 13, 100);
    t.Tick();
    EXPECT_FALSE(t.Busy(12));
    EXPECT_TRUE(t.Busy(13));
    EXPECT_EQ(t.table.FindByPid(13)->m_tNetworkUntil, clock.Now() + 20);
}

}  // namespace
