#include <gtest/gtest.h>

#include <iterator>

#include "monitor/Processes.h"
#include "platform/FileTime.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {
constexpr std::uint64_t kMs = 10000;  // 100-ns units

struct Snapshot : ::testing::Test {
    CFakeClock clock{5000};
    CFakeProcessSource source;
    CFakeFileSystem files;
    CProcesses table{{clock, source, files}};

    void Tick() {
        clock.Advance();
        table.TakeSnapshot();
    }
    std::vector<std::uint32_t> Order() {
        std::vector<std::uint32_t> v;
        for (int i = 0; i < table.GetSize(); ++i) v.push_back(table[i].m_dwPid);
        return v;
    }
};

TEST_F(Snapshot, ProcessorThresholdIsOneHundredMilliseconds) {
    source.Add(10, "/a/ten");
    source.Add(11, "/a/eleven");
    table.TakeSnapshot();
    source.AddCpu(10, 100 * kMs - 1);
    source.AddCpu(11, 60 * kMs, 40 * kMs);  // user and kernel together
    Tick();
    EXPECT_EQ(table.FindByPid(10)->m_tLastProcessor, 0);
    EXPECT_EQ(table.FindByPid(11)->m_tLastProcessor, clock.Now());
    EXPECT_EQ(table.FindByPid(11)->m_tProcessorUntil, clock.Now() + 20);
}

// Busy processes can keep a kernel time of 0 and a read count of 0 for
// long; both must still count once there is a previous reading.
TEST_F(Snapshot, ZeroCountersDoNotHideActivity) {
    source.Add(20, "/a/spin");
    source.Add(21, "/a/writer");
    table.TakeSnapshot();
    source.AddCpu(20, 500 * kMs, 0);
    source.AddIo(21, 0, 4096);
    Tick();
    EXPECT_EQ(table.FindByPid(20)->m_ftKernel, 0u);
    EXPECT_EQ(table.FindByPid(20)->m_tLastProcessor, clock.Now());
    EXPECT_EQ(table.FindByPid(21)->m_ullReadBytes, 0u);
    EXPECT_EQ(table.FindByPid(21)->m_tLastDisk, clock.Now());
}

// A first reading counts from zero only for a process born in a later second
// than the previous snapshot: within that second it may have come before it.
TEST_F(Snapshot, FirstReadingCountsFromZeroOnlyForProcessesBornSinceThePreviousSnapshot) {
    constexpr std::int64_t kSecond = 10'000'000;
    struct Case {
        const char* label;
        bool atFirstSnapshot;
        std::int64_t creation;  // 100-ns units after the previous snapshot's second began
        bool timesReadable;
        std::uint64_t user, kernel, read, write;
        bool processor, disk;
    };
    const Case cases[] = {
        {"listed at the first snapshot", true, kSecond / 2, true, 900 * kMs, 0, 1 << 20, 0, false, false},
        {"born before it", false, -kSecond / 10, true, 900 * kMs, 0, 1 << 20, 0, false, false},
        {"born as its second began", false, 0, true, 900 * kMs, 0, 1 << 20, 0, false, false},
        {"born late in its second", false, kSecond - 1, true, 900 * kMs, 0, 1 << 20, 0, false, false},
        {"born in the next second", false, kSecond, true, 900 * kMs, 0, 1 << 20, 0, true, true},
        {"born after it, kernel time and writes", false, kSecond + 1, true, 0, 100 * kMs, 0, 1, true, true},
        {"born after it, little work", false, kSecond, true, 60 * kMs, 40 * kMs - 1, 0, 0, false, false},
        {"born after it, times unreadable", false, kSecond, false, 0, 0, 1 << 20, 0, false, false},
    };
    const auto previous = static_cast<std::int64_t>(TimeToFileTime(clock.Now()));
    auto add = [&](bool atFirst) {
        for (std::uint32_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            if (c.atFirstSnapshot != atFirst) continue;
            auto& p = source.Add(100 + i, "/a/p");
            p.times->creation = static_cast<std::uint64_t>(previous + c.creation);
            p.times->kernel = c.kernel;
            p.times->user = c.user;
            *p.io = {c.read, c.write};
            if (!c.timesReadable) p.times.reset();
        }
    };
    add(true);
    table.TakeSnapshot();
    add(false);
    Tick();
    for (std::uint32_t i = 0; i < std::size(cases); ++i) {
        const CProcess* record = table.FindByPid(100 + i);
        ASSERT_NE(record, nullptr) << cases[i].label;
        EXPECT_EQ(record->m_tLastProcessor, cases[i].processor ? clock.Now() : 0) << cases[i].label;
        EXPECT_EQ(record->m_tLastDisk, cases[i].disk ? clock.Now() : 0) << cases[i].label;
    }
}

TEST_F(Snapshot, ActiveProcessesMoveToTheFrontLastMetFirst) {
    for (std::uint32_t pid : {40, 41, 42, 43}) source.Add(pid, "/a/p");
    table.TakeSnapshot();
    EXPECT_EQ(Order(), (std::vector<std::uint32_t>{40, 41, 42, 43}));
    source.AddCpu(41, 200 * kMs);
    source.AddIo(43, 10);
    Tick();
    EXPECT_EQ(Order(), (std::vector<std::uint32_t>{43, 41, 40, 42}));
    source.AddCpu(42, 200 * kMs);
    Tick();
    EXPECT_EQ(Order(), (std::vector<std::uint32_t>{42, 43, 41, 40}));
    EXPECT_EQ(table.FindByPid(40), &table[3]);
}

TEST_F(Snapshot, OwnProcessIsSkippedAndIdFourIsOrdinary) {
    source.self = 77;
    source.Add(77, "/a/me");
    source.Add(4, "/a/four");
    table.TakeSnapshot();
    EXPECT_EQ(table.FindByPid(77), nullptr);
    EXPECT_NE(table.FindByPid(4), nullptr);
}

TEST_F(Snapshot, ProgramFileIsLookedUpOnceWithErrorTexts) {
    source.Add(50, "/usr/lib/app/app");
    auto& denied = source.Add(51);  // module unreadable, not openable
    denied.openError = 1;
    auto& second = source.Add(52);  // module unreadable, full image name works
    second.fullImageName = "/opt/x/second";
    auto& none = source.Add(53);  // nothing works once opened
    none.imageError = 2;
    auto& empty = source.Add(54);
    empty.modulePath = "";
    auto& named = source.Add(55);  // path refused, the system's name known
    named.imageError = 13;
    named.kernelName = "sshd";
    denied.openable = false;
    table.TakeSnapshot();
    EXPECT_EQ(table.FindByPid(50)->m_strFileName, "app");
    EXPECT_EQ(table.FindByPid(51)->m_strError, "#error1: 51 1");
    EXPECT_EQ(table.FindByPid(52)->m_strPath, "/opt/x/second");
    EXPECT_EQ(table.FindByPid(53)->m_strError, "#error2: 53 2");
    EXPECT_EQ(table.FindByPid(55)->m_strError, "sshd (#error2: 55 13)");
    EXPECT_EQ(table.FindByPid(54)->m_strError.rfind("#error3: 54 ", 0), 0u);
    int lookups = source.moduleLookups;
    Tick();
    Tick();
    EXPECT_EQ(source.moduleLookups, lookups);
    EXPECT_EQ(source.openQueries, 0) << "no handle stays open between samples";
}

TEST_F(Snapshot, EndedRecordsTurnToIdZeroThenLeave) {
    source.Add(60, "/a/gone");
    table.TakeSnapshot();
    const std::int64_t seen = clock.Now();
    source.Remove(60);
    table.TakeSnapshot();  // same second: not ended yet
    EXPECT_NE(table.FindByPid(60), nullptr);
    Tick();
    EXPECT_EQ(table.FindByPid(60), nullptr);
    ASSERT_EQ(table.GetSize(), 1);
    EXPECT_EQ(table[0].m_strFileName, "gone");
    clock.Set(seen + 30);
    table.TakeSnapshot();
    EXPECT_EQ(table.GetSize(), 1);
    clock.Set(seen + 31);
    table.TakeSnapshot();
    EXPECT_EQ(table.GetSize(), 0);
}

TEST_F(Snapshot, FailedEnumerationEndsEveryRecord) {
    source.Add(70, "/a/x");
    source.Add(71, "/a/y");
    table.TakeSnapshot();
    source.failEnumeration = true;
    Tick();
    EXPECT_EQ(table.FindByPid(70), nullptr);
    EXPECT_EQ(table.GetSize(), 2);
    source.failEnumeration = false;
    Tick();  // met again as new records with new baselines
    EXPECT_NE(table.FindByPid(70), nullptr);
    EXPECT_EQ(table.GetSize(), 4);
}

// A failed read leaves the previous reading in place: the next good one is
// measured against it, neither against zero nor as a new baseline.
TEST_F(Snapshot, FailedReadsKeepThePreviousReading) {
    const struct {
        const char* rule;
        bool timesFail;  // else the I/O read fails
        std::uint64_t cpuAfter, bytesAfter;
        bool processor, disk;
    } cases[] = {
        {"times fail, then grow", true, 150 * kMs, 0, true, false},
        {"times fail, then stay", true, 0, 0, false, false},
        {"I/O fails, then grows", false, 0, 10, false, true},
        {"I/O fails, then stays", false, 0, 0, false, false},
    };
    std::uint32_t pid = 80;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        auto& p = source.Add(++pid, "/a/x");
        p.times->user = 5000 * kMs;
        p.io->readBytes = 1 << 20;
        table.TakeSnapshot();
        auto savedTimes = p.times;
        auto savedIo = p.io;
        if (c.timesFail)
            p.times.reset();
        else
            p.io.reset();
        Tick();
        p.times = savedTimes;
        p.io = savedIo;
        source.AddCpu(pid, c.cpuAfter);
        source.AddIo(pid, c.bytesAfter);
        Tick();
        EXPECT_EQ(table.FindByPid(pid)->m_tLastProcessor == clock.Now(), c.processor);
        EXPECT_EQ(table.FindByPid(pid)->m_tLastDisk == clock.Now(), c.disk);
        source.Remove(pid);
    }
}

// Processor time counts by the size of its change either way; the disk only
// by the growth of read and write together. Either way the lower reading is
// the next one's baseline.
TEST_F(Snapshot, CountersThatGoDown) {
    const struct {
        const char* rule;
        std::int64_t user, kernel, read, write;  // change from the first reading
        bool processor, disk;
    } cases[] = {
        {"processor time down by 150 ms", -150, 0, 0, 0, true, false},
        {"processor time down by 50 ms", 0, -50, 0, 0, false, false},
        {"user up, kernel down, 60 ms each", 60, -60, 0, 0, true, false},
        {"bytes read down", 0, 0, -4096, 0, false, false},
        {"read down, write up more", 0, 0, -100, 150, false, true},
        {"read up, write down more", 0, 0, 100, -150, false, false},
    };
    std::uint32_t pid = 200;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        auto& p = source.Add(++pid, "/a/x");
        p.times->user = p.times->kernel = 1000 * kMs;
        p.io->readBytes = p.io->writeBytes = 1 << 20;
        table.TakeSnapshot();
        p.times->user += static_cast<std::uint64_t>(c.user * static_cast<std::int64_t>(kMs));
        p.times->kernel += static_cast<std::uint64_t>(c.kernel * static_cast<std::int64_t>(kMs));
        p.io->readBytes += static_cast<std::uint64_t>(c.read);
        p.io->writeBytes += static_cast<std::uint64_t>(c.write);
        Tick();
        EXPECT_EQ(table.FindByPid(pid)->m_tLastProcessor == clock.Now(), c.processor);
        EXPECT_EQ(table.FindByPid(pid)->m_tLastDisk == clock.Now(), c.disk);
        source.AddIo(pid, 1);
        Tick();
        EXPECT_EQ(table.FindByPid(pid)->m_tLastDisk, clock.Now()) << "one byte more than the lower reading";
        source.Remove(pid);
    }
}

TEST_F(Snapshot, UnopenableProcessHasARecordButNoMeasurement) {
    auto& p = source.Add(90, "/a/locked");
    p.openable = false;
    table.TakeSnapshot();
    p.times->user += 900 * kMs;
    Tick();
    ASSERT_NE(table.FindByPid(90), nullptr);
    EXPECT_FALSE(table.FindByPid(90)->m_bHasTimes);
    EXPECT_EQ(table.FindByPid(90)->m_tLastProcessor, 0);
}

}  // namespace
