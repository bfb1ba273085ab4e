#include <gtest/gtest.h>

#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileContent.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakePackageMetadata.h"
#include "tests/fakes/FakeProcessSource.h"
#include "tests/fakes/PageServer.h"
#include "tests/window/FakeDialogView.h"
#include "window/ControlIds.h"
#include "window/LoadwatchWindow.h"
#include "window/WindowServices.h"

namespace {

class CNoServices : public IWindowServices {
public:
    bool EnableDebugPrivilege() override { return false; }
    WindowId FindProcessWindow(std::uint32_t) override { return 0; }
};

// A list that sends no notifications of its own (a native list may not
// repeat them as Qt's does): what the panel shows comes from one selection.
class LoadwatchWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (std::uint32_t pid : {30u, 31u}) source.Add(pid, pid == 30 ? "/usr/bin/tool" : "/usr/bin/b");
        window.OnInitDialog(false);
        for (std::uint32_t pid : {30u, 31u}) source.AddCpu(pid, 2'000'000);
        clock.Advance();
        window.OnTimer(kRefreshTimer);
        ASSERT_EQ(view.list.GetItemCount(), 2);
    }
    void Select(std::uint32_t pid) {
        for (int row = 0; row < view.list.GetItemCount(); ++row) {
            const bool it = view.list.GetItemData(row) == pid;
            view.list.SetItemState(row, it ? kStateSelected | kStateFocused : 0,
                                   kStateSelected | kStateFocused);
            if (it) view.list.SetSelectionMark(row);
        }
        window.OnListNotify();
    }

    CFakeClock clock;
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeFileContent content;
    CFakePackageMetadata packages;
    CPageServer server;
    CKnowledgeBase knowledgeBase{server, files, "http://kb.test/?"};
    CProcesses processes{{clock, source, files}};
    CNoServices services;
    CFakeDialogView view;
    CLoadwatchWindow window{view, {processes, files, content, packages, 0x0409, knowledgeBase, services}};
};

TEST_F(LoadwatchWindowTest, AnotherSelectionDuringThePumpKeepsItsPage) {
    bool once = false;
    view.onPump = [&] {
        if (once) return;
        once = true;
        Select(31);
    };
    Select(30);
    EXPECT_EQ(view.html, "page of b");
    EXPECT_EQ(view.title, "Loadwatch");
}

}  // namespace
