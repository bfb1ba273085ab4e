#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "monitor/Processes.h"
#include "platform/linux/BudgetedFd.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/ProcfsTree.h"

namespace {
struct StatCase {
    const char* line;
    bool ok;
    std::uint64_t utime, stime;
};
std::ostream& operator<<(std::ostream& os, const StatCase& c) { return os << c.line; }

class StatLine : public ::testing::TestWithParam<StatCase> {};

TEST_P(StatLine, FieldsCountFromTheLastParenthesis) {
    StatFields f;
    ASSERT_EQ(ParseStatLine(GetParam().line, f), GetParam().ok);
    if (!GetParam().ok) return;
    EXPECT_EQ(f.utime, GetParam().utime);
    EXPECT_EQ(f.stime, GetParam().stime);
    EXPECT_EQ(f.starttime, 777u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StatLine,
    ::testing::Values(
        StatCase{"12 (bash) S 1 12 12 0 -1 4194560 0 0 0 0 15 3 0 0 20 0 1 0 777 0 0\n", true, 15, 3},
        StatCase{"12 (a) (b) S 1 2 3 4 5 6 7 8 9 10 41 42 0 0 20 0 1 0 777 0\n", true, 41, 42},
        StatCase{"12 (x) S) S 1 2 3 4 5 6 7 8 9 10 5 6 -1 -2 20 0 1 0 777\n", false, 0, 0},  // negative child times
        StatCase{"12 ( ) ) S 1 2 3 4 5 6 7 8 9 10 5 6 0 0 20 0 1 0 777\n", true, 5, 6},
        StatCase{"12 (cut) S 1 2 3", false, 0, 0},
        StatCase{"no parenthesis at all 1 2 3", false, 0, 0},
        StatCase{"12 (x) S 1 2 3 4 5 6 7 8 9 10 5z 6 0 0 20 0 1 0 777", false, 0, 0}));

// The name between the first "(" and the last ")", the parent, and the code
// bounds that change with exec (0 where the kernel hides them).
TEST(StatLineProgram, NameParentAndCodeBounds) {
    StatFields f;
    ASSERT_TRUE(ParseStatLine("12 (a) (b) S 7 2 3 4 5 6 7 8 9 10 41 42 0 0 20 0 1 0 777 100 200 300 "
                              "94000000 94100000 140000\n",
                              f));
    EXPECT_EQ(f.comm, "a) (b");
    EXPECT_EQ(f.ppid, 7u);
    EXPECT_EQ(f.startcode, 94000000u);
    EXPECT_EQ(f.endcode, 94100000u);
    ASSERT_TRUE(ParseStatLine("12 (bash) S 1 12 12 0 -1 4194560 0 0 0 0 15 3 0 0 20 0 1 0 777 0 0\n", f));
    EXPECT_EQ(f.comm, "bash");
    EXPECT_EQ(f.startcode, 0u);
}

TEST(IoText, NeedsBothStorageCounters) {
    std::uint64_t r = 0, w = 0;
    EXPECT_TRUE(ParseIoText("rchar: 5\nread_bytes: 4096\nwrite_bytes: 8192\n", r, w));
    EXPECT_EQ(r, 4096u);
    EXPECT_EQ(w, 8192u);
    EXPECT_FALSE(ParseIoText("rchar: 5\nread_bytes: 4096\n", r, w));
    EXPECT_FALSE(ParseIoText("read_bytes: x\nwrite_bytes: 1\n", r, w));
}

// The sampler on a generated procfs tree, with the descriptor cache on and
// with no descriptors to spare: both must see the same things.
class Tree : public ::testing::TestWithParam<long> {
protected:
    std::string root = std::string(LW_TEST_TMP) + "/tree-" + std::to_string(::getpid()) + "-" +
                       std::to_string(GetParam());
    CProcfsTree tree{root};
    CFakeClock clock{1700001000};
    CPosixFileSystem files;
    CProcfsProcessSource source{{root, GetParam()}};
    CProcesses table{{clock, source, files}};

    void Tick() {
        clock.Advance();
        table.TakeSnapshot();
    }
};

TEST_P(Tree, ReadsNamesTimesAndSkipsKernelThreads) {
    CProcfsTree::Proc p;
    p.comm = "odd ) (name";
    p.exe = "/usr/bin/odd";
    p.utime = 250;  // 2.5 s at 100 Hz
    p.starttime = 1234;
    tree.Add(100, p);
    CProcfsTree::Proc k;
    k.flags = 0x00208040;  // kernel thread
    tree.Add(2, k);
    table.TakeSnapshot();
    EXPECT_EQ(table.FindByPid(2), nullptr);
    CProcess* r = table.FindByPid(100);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->m_strFileName, "odd");
    const std::uint64_t hz = static_cast<std::uint64_t>(sysconf(_SC_CLK_TCK));
    EXPECT_EQ(r->m_ftUser, 250ull * 10000000 / hz);
    EXPECT_EQ(r->m_ftCreation, (1700000000ull + 11644473600ull) * 10000000 + 1234ull * 10000000 / hz);
}

TEST_P(Tree, ErrorTextsForUnreadablePrograms) {
    CProcfsTree::Proc noExe;
    noExe.comm = "sshd";
    tree.Add(200, noExe);  // no exe link, cmdline empty
    CProcfsTree::Proc viaArgv;
    viaArgv.cmdline = std::string("/bin/sh\0-c\0true", 15);
    tree.Add(201, viaArgv);
    table.TakeSnapshot();
    EXPECT_EQ(table.FindByPid(200)->m_strError.rfind("sshd (#error2: 200 ", 0), 0u);
    EXPECT_EQ(table.FindByPid(201)->m_strPath, "/bin/sh");
}

TEST_P(Tree, ProcessorAndDiskActivity) {
    CProcfsTree::Proc p;
    p.exe = "/opt/busy";
    tree.Add(300, p);
    CProcfsTree::Proc refused = p;
    refused.hasIo = false;
    tree.Add(301, refused);
    table.TakeSnapshot();
    p.utime += 10;  // 100 ms at 100 Hz
    p.writeBytes += 4096;
    tree.WriteStat(300, p);
    tree.WriteIo(300, p);
    refused.utime += 50;
    tree.WriteStat(301, refused);
    Tick();
    CProcess* r = table.FindByPid(300);
    EXPECT_EQ(r->m_tLastProcessor, clock.Now());
    EXPECT_EQ(r->m_tLastDisk, clock.Now());
    EXPECT_EQ(table.FindByPid(301)->m_tLastProcessor, clock.Now());
    EXPECT_FALSE(table.FindByPid(301)->m_bHasIo);
}

TEST_P(Tree, ReapedChildsIoIsNotBlamedOnTheParent) {
    CProcfsTree::Proc shell;
    shell.exe = "/usr/bin/shell";
    tree.Add(400, shell);
    table.TakeSnapshot();
    Tick();
    shell.cutime += 30;  // a child was reaped...
    shell.writeBytes += 20 << 20;  // ...and its writes land in the parent's counters
    tree.WriteStat(400, shell);
    tree.WriteIo(400, shell);
    Tick();
    EXPECT_EQ(table.FindByPid(400)->m_tLastDisk, 0);
    shell.writeBytes += 512;  // the shell's own write
    tree.WriteIo(400, shell);
    Tick();
    EXPECT_EQ(table.FindByPid(400)->m_tLastDisk, clock.Now());
}

TEST_P(Tree, VanishedProcessesEndAndGiveTheirDescriptorsBack) {
    CProcfsTree::Proc p;
    p.exe = "/opt/x";
    for (std::uint32_t pid = 500; pid < 520; ++pid) tree.Add(pid, p);
    table.TakeSnapshot();
    Tick();
    EXPECT_LE(source.CachedDescriptors(), GetParam() < 0 ? 60 : GetParam());
    for (std::uint32_t pid = 500; pid < 520; ++pid) tree.Remove(pid);
    Tick();
    EXPECT_EQ(source.CachedDescriptors(), 0);
    EXPECT_EQ(table.FindByPid(505), nullptr);
    EXPECT_EQ(table.GetSize(), 20);
}

TEST_P(Tree, MissingRootIsAnEmptySnapshot) {
    CProcfsProcessSource missing{{root + "/does-not-exist", GetParam()}};
    std::vector<std::uint32_t> pids{1, 2};
    EXPECT_FALSE(missing.EnumerateProcesses(pids));
    EXPECT_TRUE(pids.empty());
}

// Which of the tree's files this process holds open, as paths below the root.
std::set<std::string> HeldBelow(const std::string& root) {
    std::set<std::string> held;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
        if (!ec && target.rfind(root + "/", 0) == 0) held.insert(target.substr(root.size() + 1));
    }
    return held;
}

// Short of descriptors, the process's folder gives way to stat and io, which
// are read every tick; with enough, it is given up once both are held.
TEST(ProcfsBudget, FolderGivesWayToStatAndIo) {
    const struct {
        long budget;
        std::set<std::string> held;
    } cases[] = {
        {0, {}},
        {1, {"600/stat"}},
        {2, {"600/io", "600/stat"}},
        {3, {"600/io", "600/stat"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.budget);
        const std::string root = std::string(LW_TEST_TMP) + "/budget-" + std::to_string(::getpid());
        CProcfsTree tree{root};
        CProcfsTree::Proc p;
        p.exe = "/opt/p";
        tree.Add(600, p);
        CFakeClock clock{1700001000};
        CPosixFileSystem files;
        CProcfsProcessSource source{{root, c.budget}};
        CProcesses table{{clock, source, files}};
        table.TakeSnapshot();
        clock.Advance();
        table.TakeSnapshot();
        EXPECT_EQ(HeldBelow(root), c.held);
        EXPECT_EQ(source.CachedDescriptors(), static_cast<long>(c.held.size()));
    }
}

TEST(ProcfsBudget, DescriptorsGiveTheirSlotBack) {
    FdBudget budget(1);
    auto open = [] { return UniqueFd(::open("/dev/null", O_RDONLY | O_CLOEXEC)); };
    BudgetedFd a;
    UniqueFd first = open(), second = open();
    EXPECT_TRUE(a.Adopt(budget, first));
    EXPECT_FALSE(first.Valid());
    BudgetedFd b;
    EXPECT_FALSE(b.Adopt(budget, second)) << "no slot left";
    EXPECT_TRUE(second.Valid()) << "a refused descriptor stays with the caller";
    BudgetedFd moved = std::move(a);
    EXPECT_EQ(budget.InUse(), 1);
    a = std::move(moved);  // back again: still one slot
    EXPECT_EQ(budget.InUse(), 1);
    { BudgetedFd gone = std::move(a); }
    EXPECT_EQ(budget.InUse(), 0);
    EXPECT_TRUE(b.Adopt(budget, second));
    b.Reset();
    EXPECT_EQ(budget.InUse(), 0);
}

INSTANTIATE_TEST_SUITE_P(Descriptors, Tree, ::testing::Values(-1L, 0L, 7L),
                         [](const auto& info) {
                             return info.param < 0 ? std::string("Cached")
                                                   : "Budget" + std::to_string(info.param);
                         });
}  // namespace
