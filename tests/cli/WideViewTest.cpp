#include <gtest/gtest.h>

#include "cli/WideView.h"
#include "monitor/Amounts.h"
#include "monitor/Processes.h"
#include "platform/FileTime.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeExitSource.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeNetworkSource.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {
constexpr std::uint64_t kMs = 10000;

TEST(Amounts, SharesAndRates) {
    const struct {
        std::uint64_t rate;
        const char* text;
    } rates[] = {{0, "0 B/s"},          {999, "999 B/s"},      {1000, "1.0 kB/s"},   {1550, "1.6 kB/s"},
                 {9949, "9.9 kB/s"},    {9950, "10 kB/s"},     {12'400'000, "12 MB/s"},
                 {3'000'000'000, "3.0 GB/s"}};
    for (const auto& r : rates) EXPECT_EQ(FormatRate(r.rate), r.text) << r.rate;
    EXPECT_EQ(FormatShare(0), "0%");
    EXPECT_EQ(FormatShare(0.354), "35%");
    EXPECT_EQ(FormatShare(1.8), "180%");
}

// A spinner, a writer, a talker and a group of ended programs, from a fake
// source with known counters over two seconds.
struct Wide : ::testing::Test {
    CFakeClock clock{5000};
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeNetworkSource network;
    CFakeExitSource exits;
    CProcesses table{{clock, source, files, nullptr, &network, &exits}};

    void SetUp() override {
        source.Add(10, "/usr/bin/spin");
        source.Add(11, "/usr/bin/writer");
        source.Add(12, "/usr/bin/talker");
        source.Add(13, "/usr/bin/idle");
        network.Put(1, 12, 0);
        table.TakeSnapshot();
        source.AddCpu(10, 1500 * kMs, 500 * kMs);
        source.AddIo(11, 0, 8'000'000);
        network.Put(1, 12, 30000, 10000);
        for (std::uint32_t pid = 100; pid < 104; ++pid)
            exits.queued.push_back({pid, 1, "grep", 5000, 50 * kMs, 0, 4000, 0});
        clock.Advance(2);
        table.TakeSnapshot();
    }
};

TEST_F(Wide, RowsCarryIdsAndAmountsPerSecond) {
    EXPECT_EQ(RenderWide(table, clock.Now(), false),
              "Program             PID   CPU    Read/s   Write/s    Recv/s   Sent/s  Activity\n"
              "grep (4 processes)    -   10%  8.0 kB/s     0 B/s     0 B/s    0 B/s  Program closed, Hard disk, Processor\n"
              "talker               12    0%     0 B/s     0 B/s  5.0 kB/s  10 kB/s  Network\n"
              "writer               11    0%     0 B/s  4.0 MB/s     0 B/s    0 B/s  Hard disk\n"
              "spin                 10  100%     0 B/s     0 B/s     0 B/s    0 B/s  Processor\n");
}

TEST_F(Wide, TooltipTextGivesEveryAmount) {
    EXPECT_EQ(ComposeAmountsText(*table.FindByPid(11)),
              "Processor: 0% of one core\nHard disk: read 0 B/s, write 4.0 MB/s\n"
              "Network: received 0 B/s, sent 0 B/s");
}
}  // namespace
