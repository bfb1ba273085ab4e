#include <gtest/gtest.h>

#include <functional>

#include "monitor/ActivityText.h"
#include "monitor/Amounts.h"
#include "monitor/MemoryReportList.h"
#include "monitor/Processes.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {
constexpr std::int64_t kNow = 2000;

struct ActivityCase {
    const char* name;
    std::uint32_t pid;
    std::int64_t lastDisk, lastProcessor;  // 0 = never; else seconds before now
    const char* text;
    ColorRef color;
};

std::ostream& operator<<(std::ostream& os, const ActivityCase& c) { return os << c.name; }

CProcess Record(const ActivityCase& c) {
    CProcess r;
    r.m_dwPid = c.pid;
    if (c.lastDisk) {
        r.m_tLastDisk = kNow - (c.lastDisk - 1);
        r.m_tDiskUntil = r.m_tLastDisk + 20;
    }
    if (c.lastProcessor) {
        r.m_tLastProcessor = kNow - (c.lastProcessor - 1);
        r.m_tProcessorUntil = r.m_tLastProcessor + 20;
    }
    return r;
}

class Activity : public ::testing::TestWithParam<ActivityCase> {};

// Ages are given plus one so that 0 can mean "never": 1 = this very second.
TEST_P(Activity, TextAndColour) {
    CProcess r = Record(GetParam());
    EXPECT_EQ(ComposeActivityText(r, kNow), GetParam().text);
    EXPECT_EQ(RowColor(r, kNow), GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Activity,
    ::testing::Values(
        ActivityCase{"ThisTick", 5, 0, 1, "Processor", kDefaultColor},
        ActivityCase{"TwoKinds", 5, 10, 5, "Hard disk (9 seconds ago), Processor (4 seconds ago)",
                     Rgb(70, 70, 70)},
        ActivityCase{"OneSecondStaysPlural", 5, 2, 0, "Hard disk (1 seconds ago)", Rgb(40, 40, 40)},
        ActivityCase{"UntilEqualsNowIsListedLightest", 5, 0, 21, "Processor (20 seconds ago)",
                     Rgb(230, 230, 230)},
        ActivityCase{"PastWindowHasNoText", 5, 0, 22, "", Rgb(230, 230, 230)},
        ActivityCase{"EndedIsRed", 0, 0, 6, "Program closed, Processor (5 seconds ago)", Rgb(255, 0, 0)},
        ActivityCase{"EndedWithoutActivity", 0, 0, 0, "Program closed", Rgb(255, 0, 0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FadeColor, LevelsAndBounds) {
    EXPECT_EQ(FadeColor(0), kDefaultColor);
    EXPECT_EQ(FadeColor(-3), kDefaultColor);
    EXPECT_EQ(FadeColor(1), Rgb(40, 40, 40));
    EXPECT_EQ(FadeColor(20), Rgb(230, 230, 230));
    EXPECT_EQ(FadeColor(500), Rgb(255, 255, 255));  // never wraps to dark
}

TEST(Network, JoinsBetweenDiskAndProcessor) {
    CProcess r;
    r.m_dwPid = 3;
    r.m_tLastDisk = r.m_tLastNetwork = r.m_tLastProcessor = kNow;
    r.m_tDiskUntil = r.m_tNetworkUntil = r.m_tProcessorUntil = kNow + 20;
    EXPECT_EQ(ComposeActivityText(r, kNow), "Hard disk, Network, Processor");
}

struct FillData {
    CFakeClock clock{kNow};
    CFakeProcessSource source;
    CFakeFileSystem files;
    CProcesses table{{clock, source, files}};
    CMemoryReportList list;

    CProcess& Add(std::uint32_t pid, const char* name, std::int64_t lastProcessor) {
        CProcess& r = *table.FindOrAdd(pid);
        r.m_strFileName = name;
        r.m_tLastSeen = kNow;
        if (lastProcessor) {
            r.m_tLastProcessor = lastProcessor;
            r.m_tProcessorUntil = lastProcessor + 20;
        }
        return r;
    }
    // As the window does on a selection: the list's row, then the table.
    void Select(int row) {
        list.SetItemState(row, kStateSelected | kStateFocused, kStateSelected | kStateFocused);
        list.SetSelectionMark(row);
        table.Select(GetSelectedRowData(list));
    }
};

struct Fill : ::testing::Test, FillData {};

TEST_F(Fill, ListsActiveRecordsInTableOrderWithTheirData) {
    Add(1, "idle", 0);
    Add(2, "busy", kNow);
    CProcess& err = Add(3, "", kNow - 3);
    err.m_strError = "#error1: 3 13";
    table.FillList(list);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(0, 0), "busy");
    EXPECT_EQ(list.GetItemData(0), 2u);
    EXPECT_EQ(list.GetCellTextColor(0, 1), CMemoryReportList::kWindowText);
    EXPECT_EQ(list.GetItemText(1, 0), "#error1: 3 13");
    EXPECT_EQ(list.GetItemText(1, 1), "Processor (3 seconds ago)");
    EXPECT_EQ(list.GetCellTextColor(1, 0), Rgb(60, 60, 60));
    EXPECT_EQ(list.GetCellTextColor(1, 1), Rgb(60, 60, 60));
    EXPECT_EQ(list.GetSelectionMark(), -1);
    EXPECT_FALSE(table.IsFillingList());
}

TEST_F(Fill, SelectedProgramStaysListedAndSelected) {
    Add(1, "a", kNow);
    Add(2, "b", kNow);
    table.FillList(list);
    Select(1);
    ASSERT_NE(GetSelectedProcess(list, table), nullptr);
    EXPECT_EQ(GetSelectedProcess(list, table)->m_dwPid, 2u);
    // Idle long after: only the selection keeps it listed, renewed each refresh.
    for (int i = 0; i < 25; ++i) {
        clock.Advance();
        table.FillList(list);
        ASSERT_EQ(list.GetItemCount(), clock.Now() <= kNow + 20 ? 2 : 1) << i;
        int mark = list.GetSelectionMark();
        ASSERT_GE(mark, 0);
        EXPECT_EQ(list.GetItemData(mark), 2u);
        EXPECT_EQ(table.FindByPid(2)->m_tKeepUntil, clock.Now() + 1);
    }
    // Once the selection moves elsewhere it drops out when the keep time passes.
    list.SetItemState(-1, 0, kStateSelected | kStateFocused);
    list.SetSelectionMark(-1);
    table.Select(0);
    clock.Advance();
    table.FillList(list);
    EXPECT_EQ(list.GetItemCount(), 1);  // keep time = now
    clock.Advance();
    table.FillList(list);
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(Fill, SelectionNeedsBothSelectedAndFocused) {
    Add(1, "a", kNow);
    table.FillList(list);
    list.SetItemState(0, kStateSelected, kStateSelected);
    list.SetSelectionMark(0);
    EXPECT_EQ(GetSelectedProcess(list, table), nullptr);
    table.FillList(list);
    EXPECT_EQ(list.GetSelectionMark(), -1);
}

TEST_F(Fill, EndedProgramIsRedAndNeverSelectedAgain) {
    Add(1, "a", kNow);
    table.FillList(list);
    Select(0);
    table.MarkEnded(kNow + 1);
    clock.Advance();
    EXPECT_EQ(GetSelectedProcess(list, table), nullptr);  // its id is gone
    table.FillList(list);
    ASSERT_EQ(list.GetItemCount(), 1);
    // Its row no longer shows as the selection.
    EXPECT_EQ(list.GetItemState(0, kStateSelected | kStateFocused), 0u);
    EXPECT_EQ(list.GetSelectionMark(), -1);
    EXPECT_EQ(list.GetItemText(0, 1), "Program closed, Processor (1 seconds ago)");
    EXPECT_EQ(list.GetCellTextColor(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(list.GetItemData(0), 0u);
    Select(0);
    EXPECT_EQ(GetSelectedProcess(list, table), nullptr);  // data 0 yields no record
    table.FillList(list);
    EXPECT_EQ(list.GetSelectionMark(), -1);
}

// Rows listed above the selection move its row down; when its process ends,
// no row may still look selected.
TEST_F(Fill, AnEndedSelectionThatMovedLooksSelectedNoMore) {
    Add(1, "a", kNow);
    table.FillList(list);
    Select(0);
    clock.Advance();
    Add(2, "b", kNow + 1).m_tLastSeen = kNow + 1;
    table.MoveToFront(2);
    table.MarkEnded(kNow + 1);
    table.FillList(list);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(1, 0), "a");
    for (int row = 0; row < 2; ++row) EXPECT_EQ(list.GetItemState(row, kStateSelected | kStateFocused), 0u) << row;
}

TEST_F(Fill, KeepTimeAloneListsWithAnEmptyText) {
    CProcess& r = Add(1, "kept", 0);
    r.m_tKeepUntil = kNow + 3;
    table.FillList(list);
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, 1), "");
    EXPECT_EQ(list.GetCellTextColor(0, 0), Rgb(230, 230, 230));
}
// A memory list that counts the writes a refresh makes.
struct CCountingList : CMemoryReportList {
    int inserts = 0, deletes = 0, clears = 0, texts = 0, colours = 0;
    int InsertItem(int row, const std::vector<std::string>& t) override {
        ++inserts;
        return CMemoryReportList::InsertItem(row, t);
    }
    bool DeleteItem(int row) override {
        ++deletes;
        return CMemoryReportList::DeleteItem(row);
    }
    int DeleteAllItems() override {
        ++clears;
        return CMemoryReportList::DeleteAllItems();
    }
    void SetItemText(int row, int column, const std::string& t) override {
        ++texts;
        CMemoryReportList::SetItemText(row, column, t);
    }
    void SetCellTextColor(int row, int column, ColorRef c, bool redraw) override {
        ++colours;
        CMemoryReportList::SetCellTextColor(row, column, c, redraw);
    }
    void ResetCounts() { inserts = deletes = clears = texts = colours = 0; }
};

struct RowUpdateCase {
    const char* name;
    std::function<void(FillData&, CCountingList&)> change;
    int inserts, deletes, clears, texts, colours;
};

// Only what changed is written; the rows end as a full rebuild would make them.
TEST_F(Fill, ATickWritesOnlyTheRowsThatChanged) {
    const RowUpdateCase cases[] = {
        {"NothingChanged", [](FillData&, CCountingList&) {}, 0, 0, 0, 0, 0},
        {"AllAgeASecond", [](FillData& f, CCountingList&) { f.clock.Advance(); }, 0, 0, 0, 3, 3},
        {"OneMovesToTheFront", [](FillData& f, CCountingList&) { f.table.MoveToFront(3); }, 1, 1, 0, 0, 1},
        {"OneLeaves", [](FillData& f, CCountingList&) { f.table.FindByPid(2)->m_tProcessorUntil = kNow - 1; },
         0, 1, 0, 0, 0},
        {"OneEnds", [](FillData& f, CCountingList&) { f.table.MarkEnded(kNow + 1); }, 0, 0, 0, 3, 3},
        {"SomeoneElseClearedIt", [](FillData&, CCountingList& l) { l.DeleteAllItems(); }, 3, 0, 1, 0, 2},
    };
    for (const RowUpdateCase& c : cases) {
        SCOPED_TRACE(c.name);
        FillData f;
        f.Add(1, "a", kNow);
        f.Add(2, "b", kNow - 1);
        f.Add(3, "c", kNow - 1);
        CCountingList counted;
        f.table.FillList(counted);
        c.change(f, counted);
        counted.ResetCounts();
        f.table.FillList(counted);
        EXPECT_EQ(counted.inserts, c.inserts);
        EXPECT_EQ(counted.deletes, c.deletes);
        EXPECT_EQ(counted.clears, c.clears);
        EXPECT_EQ(counted.texts, c.texts);
        EXPECT_EQ(counted.colours, c.colours);

        CMemoryReportList rebuilt;
        f.table.FillList(rebuilt);
        ASSERT_EQ(counted.GetItemCount(), rebuilt.GetItemCount());
        for (int row = 0; row < rebuilt.GetItemCount(); ++row) {
            EXPECT_EQ(counted.GetItemData(row), rebuilt.GetItemData(row)) << row;
            EXPECT_EQ(counted.GetCellTextColor(row, 1), rebuilt.GetCellTextColor(row, 1)) << row;
            for (int column : {0, 1})
                EXPECT_EQ(counted.GetItemText(row, column), rebuilt.GetItemText(row, column));
        }
    }
}

// A memory list that counts the tooltips a refresh writes.
struct CTipCountingList : CMemoryReportList {
    int tips = 0;
    void SetItemTip(int row, const std::string& t) override {
        ++tips;
        CMemoryReportList::SetItemTip(row, t);
    }
};

struct TipCase {
    const char* name;
    std::function<void(CFakeProcessSource&)> change;  // during the second after the first tip
    const char* tip;
    int written;  // tips written by that refresh
};

// A row's tooltip gives the amounts of the last second from the source's
// counters, and is written only when it changed.
TEST(RowTip, FollowsTheAmountsOfTheLastSecond) {
    const TipCase cases[] = {
        {"SameAgain", [](CFakeProcessSource& s) { s.AddCpu(40, 5'000'000); },
         "Processor: 50% of one core\nHard disk: read 0 B/s, write 0 B/s\nNetwork: received 0 B/s, sent 0 "
         "B/s",
         0},
        {"Busier", [](CFakeProcessSource& s) { s.AddCpu(40, 8'000'000, 4'000'000); },
         "Processor: 120% of one core\nHard disk: read 0 B/s, write 0 B/s\nNetwork: received 0 B/s, sent 0 "
         "B/s",
         1},
        {"Disk", [](CFakeProcessSource& s) { s.AddIo(40, 2'500'000, 1500); },
         "Processor: 0% of one core\nHard disk: read 2.5 MB/s, write 1.5 kB/s\nNetwork: received 0 B/s, sent "
         "0 B/s",
         1},
        // Listed red for a while; it did nothing since it was last measured.
        {"Ended", [](CFakeProcessSource& s) { s.Remove(40); },
         "Processor: 0% of one core\nHard disk: read 0 B/s, write 0 B/s\nNetwork: received 0 B/s, sent 0 B/s",
         1},
    };
    for (const TipCase& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeClock clock{kNow};
        CFakeProcessSource source;
        CFakeFileSystem files;
        CProcesses table{{clock, source, files}};
        source.Add(40, "/usr/bin/busy");
        table.TakeSnapshot();
        source.AddCpu(40, 5'000'000);  // half a second in the next one
        clock.Advance();
        table.TakeSnapshot();
        CTipCountingList list;
        table.FillList(list);
        ASSERT_EQ(list.GetItemCount(), 1);
        EXPECT_EQ(list.GetItemTip(0), ComposeAmountsText(*table.FindByPid(40)));
        EXPECT_EQ(list.tips, 1);

        list.tips = 0;
        c.change(source);
        clock.Advance();
        table.TakeSnapshot();
        table.FillList(list);
        ASSERT_EQ(list.GetItemCount(), 1);
        EXPECT_EQ(list.GetItemTip(0), c.tip);
        EXPECT_EQ(list.tips, c.written);
    }
}

TEST(AmountsHtml, OneKindALineInAParagraph) {
    CProcess r;
    r.m_dProcessorShare = 0.35;
    r.m_ullNetSendRate = 12'000;
    EXPECT_EQ(ComposeAmountsHtml(r),
              "<p>Processor: 35% of one core<br>Hard disk: read 0 B/s, write 0 B/s<br>"
              "Network: received 0 B/s, sent 12 kB/s</p>");
}
}  // namespace
