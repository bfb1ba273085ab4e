#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "res/StringTable.h"
#include "tests/fakes/HeldKnowledgeBase.h"
#include "tests/fakes/WindowFixture.h"
#include "tests/window/FakeDialogView.h"

namespace {

// Packages whose integrity check of one file waits until the test opens the
// gate: a slow check of a large file.
class CGatedPackages : public CFakePackageMetadata {
public:
    std::string gated;
    bool VerifyFile(const std::string& path) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (path == gated) {
            m_checking = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_open; });
        }
        return CFakePackageMetadata::VerifyFile(path);
    }
    void WaitUntilChecking() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_checking; });
    }
    void Open() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_open = true;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_checking = false;
    bool m_open = false;
};

const std::string kLoading = LoadText(IDS_LOADING_DETAILS);

// Programs 30 (/usr/bin/tool, intact in its package, with a window) and 31
// (/usr/bin/b, changed since installed), both listed. The list sends no
// notifications of its own: each Select is one.
class LoadwatchWindowTest : public ::testing::Test,
                            public CWindowFixture<CHeldKnowledgeBase, CGatedPackages> {
public:
    void SetUp() override {
        packages.owned = {{"/usr/bin/tool", {}}, {"/usr/bin/b", {}}};
        packages.intact = {"/usr/bin/tool"};
        Add(30, "/usr/bin/tool");
        Add(31, "/usr/bin/b");
        services.windows[30] = 77;
        window->OnInitDialog(false);
        Tick({30, 31});
        ASSERT_EQ(view.list.GetItemCount(), 2);
    }
    void TearDown() override {
        // Whatever is still held is cut short when the window goes.
        window.reset();
    }
    CLoadwatchWindow& Window() override { return *window; }
    IReportList& List() override { return view.list; }
    void Select(std::uint32_t pid) {
        for (int row = 0; row < view.list.GetItemCount(); ++row) {
            const bool it = view.list.GetItemData(row) == pid;
            view.list.SetItemState(row, it ? kStateSelected | kStateFocused : 0,
                                   kStateSelected | kStateFocused);
            if (it) view.list.SetSelectionMark(row);
        }
        window->OnListNotify();
    }
    const ProgramPage* Page(std::uint32_t pid) {
        const CProcess* r = processes.FindByPid(pid);
        return r ? window->Pages().Find(KeyOf(*r)) : nullptr;
    }
    bool PageIn(std::uint32_t pid) { return Page(pid) && Page(pid)->queried; }
    // What the panel shows for pid: its amounts, then `rest`.
    std::string Shown(std::uint32_t pid, const std::string& rest) { return AmountsHtml(pid) + rest; }
    // The facts are in and the question is asked.
    void UntilAsked(std::uint32_t pid, std::size_t requests) {
        view.RunUntil([&] { return Page(pid) && Page(pid)->factsLoaded; });
        server.WaitForRequests(requests);
    }

    CFakeDialogView view;
    std::unique_ptr<CLoadwatchWindow> window = std::make_unique<CLoadwatchWindow>(view, Platform());
};

TEST_F(LoadwatchWindowTest, AKnowledgeBaseThatNeverAnswersHoldsNothingUp) {
    Select(30);
    EXPECT_EQ(view.html, Shown(30, kLoading));
    UntilAsked(30, 1);  // the question hangs

    // Each of these returns at once, and does its work.
    Select(31);
    EXPECT_EQ(view.html, Shown(31, kLoading));
    view.checked.insert(IDC_FREEZE);
    Add(32, "/usr/bin/c");
    Tick({32});
    EXPECT_EQ(view.list.GetItemCount(), 2);  // frozen
    view.checked.clear();
    Tick({32});
    Tick({32});
    EXPECT_EQ(view.list.GetItemCount(), 3);
    EXPECT_EQ(processes.SelectedPid(), 31u);

    // The first program's late page is kept, never shown over the second's.
    server.Release("tool");
    view.RunUntil([&] { return PageIn(30); });
    EXPECT_EQ(view.html, Shown(31, kLoading));
    server.Release("b");
    view.RunUntil([&] { return PageIn(31); });
    EXPECT_EQ(view.html, Shown(31, "page of b"));
    for (const std::string& shown : view.shownPages) EXPECT_EQ(shown.find("page of tool"), std::string::npos);

    // Back to the first: its page is in, no second question.
    Select(30);
    EXPECT_EQ(view.html, Shown(30, "page of tool"));
    EXPECT_EQ(server.RequestsAbout("tool"), 1u);
    EXPECT_TRUE(view.enabled.count(IDC_CLOSE_PROGRAM));  // its window was found by the load
}

TEST_F(LoadwatchWindowTest, ClosingWithAQuestionInFlightEndsIt) {
    Select(30);
    UntilAsked(30, 1);
    window.reset();  // would wait forever if the question were not cut short
    SUCCEED();
}

// However the notifications and refreshes interleave with a slow integrity
// check, each program's question carries its own facts, asked once.
struct EventOrder {
    const char* name;
    std::function<void(LoadwatchWindowTest&)> during;  // while 30's check runs
    std::uint32_t shownAtEnd;
};

void PrintTo(const EventOrder& c, std::ostream* os) { *os << c.name; }

class EventOrders : public LoadwatchWindowTest, public ::testing::WithParamInterface<EventOrder> {};

TEST_P(EventOrders, EveryProgramGetsItsTrueFacts) {
    packages.gated = "/usr/bin/tool";
    server.Release("tool");
    server.Release("b");
    Select(30);
    Select(30);  // press and release arrive together
    packages.WaitUntilChecking();
    GetParam().during(*this);
    packages.Open();
    view.RunUntil([&] { return PageIn(30) && (GetParam().shownAtEnd != 31 || PageIn(31)); });
    view.RunPosted();

    EXPECT_EQ(server.RequestsAbout("tool"), 1u);
    EXPECT_EQ(server.Sent("tool", "se"), "1");
    EXPECT_EQ(server.Sent("tool", "iwf"), "1");
    if (GetParam().shownAtEnd == 31) {
        EXPECT_EQ(server.RequestsAbout("b"), 1u);
        EXPECT_EQ(server.Sent("b", "se"), "0");
        EXPECT_EQ(server.Sent("b", "iwf"), "1");
    }
    EXPECT_EQ(view.html,
              Shown(GetParam().shownAtEnd, GetParam().shownAtEnd == 30 ? "page of tool" : "page of b"));
}

INSTANTIATE_TEST_SUITE_P(Orders, EventOrders,
                         ::testing::Values(EventOrder{"NothingElse", [](LoadwatchWindowTest&) {}, 30},
                                           EventOrder{"AnotherSelection",
                                                      [](LoadwatchWindowTest& t) { t.Select(31); }, 31},
                                           EventOrder{"AnotherAndBack",
                                                      [](LoadwatchWindowTest& t) {
                                                          t.Select(31);
                                                          t.Select(30);
                                                      },
                                                      30},
                                           EventOrder{"RefreshesMovingRecords",
                                                      [](LoadwatchWindowTest& t) {
                                                          for (std::uint32_t pid = 100; pid < 140; ++pid)
                                                              t.Add(pid, "/opt/x");
                                                          t.Tick({31});
                                                          t.Tick({100, 31});
                                                      },
                                                      30}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadwatchWindowTest, ThePanelClearsWhenTheSelectedProgramEnds) {
    server.Release("b");
    Select(31);
    view.RunUntil([&] { return PageIn(31); });
    EXPECT_EQ(view.html, Shown(31, "page of b"));
    EXPECT_TRUE(view.enabled.count(IDC_TERMINATE));
    source.Remove(31);
    Tick({30});
    EXPECT_EQ(view.html, "");
    EXPECT_TRUE(view.enabled.empty());
    EXPECT_EQ(processes.SelectedPid(), 0u);
    EXPECT_EQ(GetSelectedRowData(view.list), 0u);
}

struct AmountsTick {
    const char* name;
    std::function<void(LoadwatchWindowTest&)> tick;
    const char* processor;  // the share the panel gives afterwards
    std::size_t renders;    // pages rendered by that tick
};

void PrintTo(const AmountsTick& c, std::ostream* os) { *os << c.name; }

class PanelAmounts : public LoadwatchWindowTest, public ::testing::WithParamInterface<AmountsTick> {};

// The panel gives the selected program's amounts as each tick measures
// them, before its page, and renders nothing when they did not change.
TEST_P(PanelAmounts, FollowTheTicks) {
    server.Release("b");
    Tick({31});
    Select(31);
    view.RunUntil([&] { return PageIn(31); });
    view.RunPosted();
    ASSERT_EQ(view.html, Shown(31, "page of b"));
    ASSERT_NE(view.html.find("Processor: 20% of one core<br>"), std::string::npos);
    const std::size_t before = view.shownPages.size();

    GetParam().tick(*this);
    EXPECT_EQ(view.shownPages.size() - before, GetParam().renders);
    EXPECT_EQ(view.html, Shown(31, "page of b"));
    EXPECT_NE(view.html.find(std::string("Processor: ") + GetParam().processor + " of one core<br>"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, PanelAmounts,
    ::testing::Values(AmountsTick{"AsBusyAsBefore", [](LoadwatchWindowTest& t) { t.Tick({31}); }, "20%", 0},
                      AmountsTick{"Idle", [](LoadwatchWindowTest& t) { t.Tick(); }, "0%", 1},
                      AmountsTick{"Busier",
                                  [](LoadwatchWindowTest& t) {
                                      t.source.AddCpu(31, 3'000'000);
                                      t.Tick({31});
                                  },
                                  "50%", 1},
                      AmountsTick{"AnotherProgramBusy",
                                  [](LoadwatchWindowTest& t) {
                                      t.Tick({30, 31});
                                  },
                                  "20%", 0},
                      AmountsTick{"Frozen",
                                  [](LoadwatchWindowTest& t) {
                                      t.view.checked.insert(IDC_FREEZE);
                                      t.Tick();
                                  },
                                  "20%", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// However the selection is lost while its page loads, the panel stays empty
// when the page comes in, and the page is kept for later.
struct SelectionLoss {
    const char* name;
    std::function<void(LoadwatchWindowTest&)> lose;
};

void PrintTo(const SelectionLoss& c, std::ostream* os) { *os << c.name; }

class SelectionLosses : public LoadwatchWindowTest, public ::testing::WithParamInterface<SelectionLoss> {};

TEST_P(SelectionLosses, ThePanelStaysEmptyWhenTheLatePageArrives) {
    Select(31);
    UntilAsked(31, 1);
    GetParam().lose(*this);
    EXPECT_EQ(view.html, "");
    EXPECT_TRUE(view.enabled.empty());

    server.Release("b");
    view.RunUntil([&] { return Settled(); });
    EXPECT_EQ(view.html, "");
    EXPECT_TRUE(view.enabled.empty());
    for (const std::string& shown : view.shownPages) EXPECT_NE(shown, "page of b");
}

INSTANTIATE_TEST_SUITE_P(Ways, SelectionLosses,
                         ::testing::Values(SelectionLoss{"Deselected",
                                                         [](LoadwatchWindowTest& t) { t.Select(0); }},
                                           SelectionLoss{"ProgramEnded",
                                                         [](LoadwatchWindowTest& t) {
                                                             t.source.Remove(31);
                                                             t.Tick({30});
                                                         }}),
                         [](const auto& info) { return std::string(info.param.name); });

// A program whose window was not found is looked for again when it is
// selected again; its page is not asked for twice.
TEST_F(LoadwatchWindowTest, AWindowOpenedLaterIsFoundOnTheNextSelection) {
    server.Release("tool");
    server.Release("b");
    Select(31);
    view.RunUntil([&] { return PageIn(31) && Settled(); });
    EXPECT_FALSE(view.enabled.count(IDC_CLOSE_PROGRAM));
    services.windows[31] = 77;
    Select(30);
    Select(31);
    view.RunUntil([&] { return Settled(); });
    EXPECT_TRUE(view.enabled.count(IDC_CLOSE_PROGRAM));
    EXPECT_EQ(server.RequestsAbout("b"), 1u);
}

// A process without a path asks nothing; the pages of programs that ended
// are dropped with them.
TEST_F(LoadwatchWindowTest, PathlessProcessesAskNothingAndEndedProgramsLeaveNoPage) {
    Add(40);
    Tick({40});
    Tick({40});
    ASSERT_NE(processes.FindByPid(40), nullptr);
    Select(40);
    view.RunUntil([&] { return PageIn(40) && Settled(); });
    EXPECT_TRUE(server.Objects().empty());
    EXPECT_EQ(window->Pages().CachedPages(), 1u);
    Select(0);
    source.Remove(40);
    Tick({30});
    EXPECT_EQ(window->Pages().CachedPages(), 0u);
}

}  // namespace
