#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <signal.h>
#include <spawn.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "monitor/MemoryReportList.h"
#include "monitor/Processes.h"
#include "platform/FileTime.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/UniqueFd.h"
#include "tests/linux/ChildProcess.h"

namespace {

// Starts the same short program again and again, one at a time, until
// destroyed.
class Loop {
public:
    explicit Loop(std::vector<std::string> args)
        : m_thread([this, args](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  Child child(args);
                  if (child.Wait() != 0) ++m_failures;
                  ++m_runs;
              }
          }) {}
    int Runs() const { return m_runs; }
    int Failures() const { return m_failures; }

private:
    std::atomic<int> m_runs{0};
    std::atomic<int> m_failures{0};
    std::jthread m_thread;  // last: it uses the counters
};

// A folder for the test's data on a file system that takes direct I/O
// (tmpfs does not); empty if there is none.
std::string DirectIoFolder() {
    for (const char* candidate : {LW_TEST_TMP, "/var/tmp"}) {
        struct statfs fs {};
        if (::statfs(candidate, &fs) != 0 || fs.f_type == TMPFS_MAGIC || fs.f_type == RAMFS_MAGIC) continue;
        const std::string probe = std::string(candidate) + "/direct-probe-" + std::to_string(getpid());
        std::ofstream(probe) << std::string(4096, 'x');
        const bool ok = UniqueFd(::open(probe.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC)).Valid();
        std::filesystem::remove(probe);
        if (ok) return candidate;
    }
    return {};
}

std::uint64_t WallFileTime() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return TimeToFileTime(now.tv_sec) + static_cast<std::uint64_t>(now.tv_nsec) / 100;
}

// Copies a program under a name of its own, so that the programs of tests
// running beside this one are not mistaken for it.
std::string OwnCopy(const std::string& program, const std::string& name) {
    const std::string copy = std::string(LW_TEST_TMP) + "/" + name + "-" + std::to_string(getpid());
    std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

int OpenFdCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

std::string Dump(const IReportList& list) {
    std::string out;
    for (int i = 0; i < list.GetItemCount(); ++i)
        out += "  " + std::to_string(list.GetItemData(i)) + " " + list.GetItemText(i, 0) + " | " +
               list.GetItemText(i, 1) + "\n";
    return out;
}

int RowOf(const IReportList& list, std::uint32_t pid) {
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetItemData(i) == pid) return i;
    return -1;
}

// Whether a row of the program named `name`, running or ended, shows `kind`.
bool Listed(const IReportList& list, const std::string& name, const std::string& kind = {}) {
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetItemText(i, 0) == name && list.GetItemText(i, 1).find(kind) != std::string::npos)
            return true;
    return false;
}

struct RealProc : ::testing::Test {
    CSystemClock clock;
    CProcfsProcessSource source;
    CPosixFileSystem files;
    CProcesses table{{clock, source, files}};
    CMemoryReportList list;

    // One refresh a second, as the window does it.
    void Tick() {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        table.TakeSnapshot();
        table.FillList(list);
    }
};

TEST_F(RealProc, BusyWritingAndEndedChildrenAreListed) {
    const std::string file = std::string(LW_TEST_TMP) + "/write-" + std::to_string(getpid());
    // A name of its own, so that spinners of tests running beside this one
    // are not mistaken for it.
    const std::string name = "lw-spin-" + std::to_string(getpid());
    const std::string spinCopy = std::string(LW_TEST_TMP) + "/" + name;
    std::filesystem::copy_file(LW_SPIN, spinCopy, std::filesystem::copy_options::overwrite_existing);
    table.TakeSnapshot();
    Child spin({spinCopy, "60"});
    Child writer({LW_WRITE, file, "4", "1.5"});
    ASSERT_GT(spin.Pid(), 0);
    ASSERT_GT(writer.Pid(), 0);
    const auto spinPid = static_cast<std::uint32_t>(spin.Pid());
    const auto writerPid = static_cast<std::uint32_t>(writer.Pid());

    bool spinSeen = false, writerSeen = false;
    for (int t = 0; t < 6 && !(spinSeen && writerSeen); ++t) {
        Tick();
        int s = RowOf(list, spinPid);
        if (s >= 0 && list.GetItemText(s, 1).find("Processor") != std::string::npos) {
            if (!spinSeen) {
                EXPECT_LE(t + 1, 3) << "spinner listed only after " << t + 1 << " s\n" << Dump(list);
                EXPECT_EQ(list.GetItemText(s, 0), name);
            }
            spinSeen = true;
        }
        int w = RowOf(list, writerPid);
        if (w >= 0 && list.GetItemText(w, 1).find("Hard disk") != std::string::npos) writerSeen = true;
    }
    EXPECT_TRUE(spinSeen) << Dump(list);
    EXPECT_TRUE(writerSeen) << "4 MiB written and synced by the child\n" << Dump(list);
    // Usually the writer never reads from storage (its pages are cached),
    // which is the case a zero-read sentinel would hide; it can also have
    // paged in its program from disk, so this is reported, not asserted.
    if (CProcess* w = table.FindByPid(writerPid)) {
        std::printf("writer read_bytes at detection: %llu\n",
                    static_cast<unsigned long long>(w->m_ullReadBytes));
    }
    if (CProcess* s = table.FindByPid(spinPid)) {
        std::printf("spinner kernel time at detection: %llu (100 ns)\n",
                    static_cast<unsigned long long>(s->m_ftKernel));
    }

    spin.Kill();
    Tick();
    int row = -1;
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetItemData(i) == 0 && list.GetItemText(i, 0) == name) row = i;
    ASSERT_GE(row, 0) << "the ended child is still listed\n" << Dump(list);
    EXPECT_EQ(list.GetItemText(row, 1).rfind("Program closed, Processor", 0), 0u);
    EXPECT_EQ(list.GetCellTextColor(row, 0), Rgb(255, 0, 0));

    // It leaves the list once its 20-second window has passed.
    bool gone = false;
    for (int t = 0; t < 24 && !gone; ++t) {
        Tick();
        gone = true;
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, 0) == name) gone = false;
    }
    EXPECT_TRUE(gone) << Dump(list);
    std::filesystem::remove(file);
    std::filesystem::remove(spinCopy);
}

TEST_F(RealProc, NoDescriptorLeaksWhileChildrenComeAndGo) {
    const int before = OpenFdCount();
    {
        CProcfsProcessSource own;
        CProcesses sampler{{clock, own, files}};
        std::vector<std::unique_ptr<Child>> children;
        for (int i = 0; i < 300; ++i) {
            if (i % 3 == 0)
                children.push_back(std::make_unique<Child>(std::vector<std::string>{LW_SPIN, "0.05"}));
            if (i % 7 == 0 && !children.empty()) children.erase(children.begin());
            sampler.TakeSnapshot();
        }
        children.clear();
        sampler.TakeSnapshot();
        // Whatever the cache holds is accounted for.
        EXPECT_EQ(OpenFdCount(), before + own.CachedDescriptors() + 2 /* root and its listing */);
    }
    EXPECT_EQ(OpenFdCount(), before);
}

// Programs that each live less than a tick are born after the previous
// snapshot, so their first reading counts from zero and a busy one is seen.
TEST_F(RealProc, ShortLivedProgramsAreListedWhenBusy) {
    const std::string folder = DirectIoFolder();
    if (folder.empty()) GTEST_SKIP() << "no folder here takes direct I/O";
    const std::string data = folder + "/direct-" + std::to_string(getpid());
    std::ofstream(data) << std::string(8 << 20, 'x');
    const std::string reader = OwnCopy(LW_READ_DIRECT, "lw-read");
    const std::string burner = OwnCopy(LW_SPIN, "lw-burn");
    const std::string idler = OwnCopy("/bin/sleep", "lw-idle");
    const auto nameOf = [](const std::string& path) {
        return std::filesystem::path(path).filename().string();
    };
    bool readerSeen = false, burnerSeen = false, idlerListed = false, idlerSampled = false;
    {
        // Whether a process was born after the previous snapshot is told by
        // its start time, so that must not be a fraction of a second early.
        const std::uint64_t before = WallFileTime();
        Child probe({idler, "5"});
        const std::uint64_t after = WallFileTime();
        Loop readers({reader, data, "0.3"});
        // Processor time, not wall time: on a loaded machine a burner still
        // passes the threshold while it lives.
        Loop burners({"/usr/bin/env", "LW_SPIN_CPU=1", burner, "0.3"});
        Loop idlers({idler, "0.3"});
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        table.TakeSnapshot();
        table.FillList(list);
        EXPECT_EQ(list.GetItemCount(), 0) << "the first snapshot only sets baselines\n" << Dump(list);
        const CProcess* probed = table.FindByPid(static_cast<std::uint32_t>(probe.Pid()));
        ASSERT_NE(probed, nullptr);
        constexpr std::uint64_t kTick = 100'000;  // start times count in 10-ms clock ticks
        EXPECT_GE(probed->m_ftCreation + kTick, before);
        EXPECT_LE(probed->m_ftCreation, after);
        probe.Kill();
        int ticks = 0;
        for (; ticks < 10 && !(readerSeen && burnerSeen && idlerSampled); ++ticks) {
            // Births are compared with the previous snapshot at the start
            // times' own resolution, so where in the second a tick falls
            // does not matter; mid-second is where a seconds rule would fail.
            const auto second = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
            std::this_thread::sleep_until(second + std::chrono::milliseconds(1500));
            table.TakeSnapshot();
            table.FillList(list);
            readerSeen = readerSeen || Listed(list, nameOf(reader), "Hard disk");
            burnerSeen = burnerSeen || Listed(list, nameOf(burner), "Processor");
            idlerListed = idlerListed || Listed(list, nameOf(idler));
            for (int i = 0; i < table.GetSize(); ++i)
                idlerSampled = idlerSampled || (table[i].m_strFileName == nameOf(idler) &&
                                                table[i].m_dwPid != 0 && table[i].m_bHasTimes);
        }
        std::printf("after %d ticks: %d readers, %d burners, %d idlers ran\n", ticks, readers.Runs(),
                    burners.Runs(), idlers.Runs());
        EXPECT_EQ(readers.Failures() + burners.Failures() + idlers.Failures(), 0);
    }
    EXPECT_TRUE(readerSeen) << Dump(list);
    EXPECT_TRUE(burnerSeen) << Dump(list);
    EXPECT_TRUE(idlerSampled) << "no idle program was met, so its absence proves nothing";
    EXPECT_FALSE(idlerListed) << Dump(list);
    for (const auto& file : {data, reader, burner, idler}) std::filesystem::remove(file);
}
}  // namespace
