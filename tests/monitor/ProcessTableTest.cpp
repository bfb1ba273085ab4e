#include <gtest/gtest.h>

#include <random>

#include "monitor/Processes.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {
struct Table : ::testing::Test {
    CFakeClock clock;
    CFakeProcessSource source;
    CFakeFileSystem files;
    CProcesses table{{clock, source, files}};

    std::vector<std::uint32_t> Order() {
        std::vector<std::uint32_t> v;
        for (int i = 0; i < table.GetSize(); ++i) v.push_back(table[i].m_dwPid);
        return v;
    }
};

TEST_F(Table, IdZeroIsNeverFoundNorAdded) {
    EXPECT_EQ(table.FindOrAdd(0), nullptr);
    EXPECT_EQ(table.FindByPid(0), nullptr);
    EXPECT_EQ(table.GetSize(), 0);
    table.FindOrAdd(7)->m_tLastSeen = 5;
    table.MarkEnded(6);  // the record's id becomes 0
    EXPECT_EQ(table.FindByPid(0), nullptr);
    EXPECT_EQ(table.FindByPid(7), nullptr);
    EXPECT_EQ(table.GetSize(), 1);
}

TEST_F(Table, FindOrAddReturnsTheExistingRecord) {
    CProcess* a = table.FindOrAdd(10);
    a->m_strPath = "x";
    EXPECT_EQ(table.FindOrAdd(10)->m_strPath, "x");
    EXPECT_EQ(table.GetSize(), 1);
}

TEST_F(Table, EndedRecordsLiveThirtySecondsPastTheirLastSighting) {
    table.FindOrAdd(3)->m_tLastSeen = 100;
    table.MarkEnded(100);
    EXPECT_NE(table.FindByPid(3), nullptr);
    table.MarkEnded(101);
    EXPECT_EQ(table.FindByPid(3), nullptr);
    ASSERT_EQ(table.GetSize(), 1);
    EXPECT_EQ(table[0].m_dwPid, 0u);
    table.RemoveStale(130 - CProcesses::kRetention);
    EXPECT_EQ(table.GetSize(), 1);  // still there at S + 30
    table.RemoveStale(131 - CProcesses::kRetention);
    EXPECT_EQ(table.GetSize(), 0);
}

TEST_F(Table, MoveToFrontKeepsTheOthersInOrder) {
    for (std::uint32_t pid = 1; pid <= 7; ++pid) table.FindOrAdd(pid);
    table.MoveToFront(1);
    EXPECT_EQ(Order(), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7}));
    table.MoveToFront(6);
    EXPECT_EQ(Order(), (std::vector<std::uint32_t>{6, 1, 2, 3, 4, 5, 7}));
    EXPECT_EQ(table.FindByPid(5), &table[5]);
    EXPECT_EQ(table.FindByPid(6), &table[0]);
}

TEST_F(Table, CopyNeverSharesAnOpenHandle) {
    source.Add(9, "/bin/x");
    CProcess* r = table.FindOrAdd(9);
    ASSERT_NE(r->GetQueryHandle(source), nullptr);
    CProcess copy = *r;
    EXPECT_FALSE(copy.m_hProcess.IsOpen());
    EXPECT_EQ(copy.m_dwPid, 9u);
    EXPECT_EQ(source.openQueries, 1);
    r->CloseQueryHandle();
    EXPECT_EQ(source.openQueries, 0);
}

// The index must answer exactly as a walk over the table would, whatever
// sequence of additions, moves, endings and removals came before.
TEST_F(Table, IndexedLookupAgreesWithAWalk) {
    std::mt19937 rng(42);
    std::int64_t now = 1000;
    for (int step = 0; step < 3000; ++step) {
        std::uint32_t pid = rng() % 60;
        switch (rng() % 5) {
            case 0:
            case 1:
                if (CProcess* r = table.FindOrAdd(pid)) r->m_tLastSeen = now;
                break;
            case 2:
                table.MoveToFront(pid);
                break;
            case 3:
                table.MarkEnded(now - static_cast<std::int64_t>(rng() % 3));
                break;
            case 4:
                ++now;
                table.RemoveStale(now - 5);
                break;
        }
        for (std::uint32_t q = 0; q < 60; ++q) {
            CProcess* walked = nullptr;
            for (int i = 0; i < table.GetSize(); ++i)
                if (q != 0 && table[i].m_dwPid == q) {
                    walked = &table[i];
                    break;
                }
            ASSERT_EQ(table.FindByPid(q), walked) << "step " << step << " pid " << q;
        }
    }
}

struct PathCase {
    const char* path;
    const char* folder;
    const char* file;
};

std::ostream& operator<<(std::ostream& os, const PathCase& c) { return os << c.path; }

class SetPathSplit : public ::testing::TestWithParam<PathCase> {};

TEST_P(SetPathSplit, SplitsAtTheLastSeparator) {
    CFakeFileSystem files;
    CProcess r;
    r.SetPath(GetParam().path, files);
    EXPECT_EQ(r.m_strPath, GetParam().path);
    EXPECT_EQ(r.m_strFolder, GetParam().folder);
    EXPECT_EQ(r.m_strFileName, GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SetPathSplit,
    ::testing::Values(PathCase{"/usr/bin/bash", "/usr/bin", "bash"},
                      PathCase{"\\??\\C:\\Program Files\\x\\app.exe", "C:\\Program Files\\x", "app.exe"},
                      PathCase{"\\??\\C:", "\\??", "C:"},                // six characters keep the prefix
                      PathCase{"\\??\\CX\\a.exe", "\\??\\CX", "a.exe"},  // no colon at index 5
                      PathCase{"plainname", "plainname", "plainname"},
                      PathCase{"/opt/app (deleted)/x (deleted)", "/opt/app (deleted)", "x (deleted)"},
                      PathCase{"C:\\dir/sub\\file", "C:\\dir/sub", "file"}));
}  // namespace
