#include <gtest/gtest.h>

#include "monitor/MemoryReportList.h"
#include "window/DialogView.h"
#include "window/TrayController.h"

namespace {

// Records what the controller does to the window, in order.
class CTrayView : public IDialogView {
public:
    bool trayAvailable = true;
    std::string calls;
    int icons = 0;
    bool visible = true;

    IReportList& List() override { return list; }
    void InsertListColumn(int, const std::string&, int) override {}
    void EnableControl(int, bool) override {}
    void ShowControl(int, bool) override {}
    bool IsChecked(int) const override { return false; }
    void SetBold(int) override {}
    void SetLinkNotify(int, unsigned) override {}
    std::string GetTitle() const override { return {}; }
    void SetTitle(const std::string&) override {}
    std::string GetHtml() const override { return {}; }
    void SetHtml(const std::string&) override {}
    void SetTimer(unsigned, unsigned) override {}
    void KillTimer(unsigned) override {}
    void PumpMessages() override {}
    void AddAboutEntry(const std::string&) override {}
    void ShowInformation(const std::string&, const std::string&) override {}
    Size GetDesktopSize() const override { return {}; }
    Rect GetCtrlRect(int) const override { return {}; }
    void MoveCtrl(int, const Rect&) override {}
    bool IsTrayAvailable() const override { return trayAvailable; }
    void HideWindow() override {
        calls += "hide ";
        visible = false;
    }
    void ShowWindow() override {
        calls += "show ";
        visible = true;
    }
    void MinimizeWindow() override { calls += "minimize "; }
    void AnimateTray(bool toTray) override { calls += toTray ? "fly-in " : "fly-out "; }
    void AddTrayIcon(const std::string& tip) override {
        calls += "add(" + tip + ") ";
        icons = 1;
    }
    void RemoveTrayIcon() override {
        calls += "remove ";
        icons = 0;
    }

    CMemoryReportList list;
};

TEST(TrayControllerTest, MinimiseGoesToTheTrayAndAClickComesBack) {
    CTrayView view;
    CTrayController tray(view, "Loadwatch 1.13");
    EXPECT_TRUE(tray.OnMinimizeRequest());
    EXPECT_EQ(view.calls, "hide fly-in remove add(Loadwatch 1.13) ");
    EXPECT_TRUE(tray.IsInTray());
    // Already in the tray: the ordinary handling, nothing of ours.
    view.calls.clear();
    EXPECT_FALSE(tray.OnMinimizeRequest());
    EXPECT_EQ(view.calls, "");
    tray.OnIconClicked();
    EXPECT_EQ(view.calls, "fly-out show remove ");
    EXPECT_FALSE(tray.IsInTray());
    // A second click (the rest of a double-click) only clears the icon again.
    view.calls.clear();
    tray.OnIconClicked();
    EXPECT_EQ(view.calls, "remove ");
    EXPECT_TRUE(view.visible);
}

TEST(TrayControllerTest, TheAutostartTickTwiceStillLeavesOneIcon) {
    CTrayView view;
    CTrayController tray(view, "tip");
    EXPECT_TRUE(tray.MinimizeToTray());
    EXPECT_TRUE(tray.MinimizeToTray());
    EXPECT_EQ(view.icons, 1);
    EXPECT_EQ(view.calls, "hide fly-in remove add(tip) hide fly-in remove add(tip) ");
}

TEST(TrayControllerTest, WithoutATrayTheWindowIsMinimisedNormally) {
    CTrayView view;
    view.trayAvailable = false;
    CTrayController tray(view, "tip");
    EXPECT_FALSE(tray.OnMinimizeRequest());  // the view minimises as usual
    EXPECT_FALSE(tray.MinimizeToTray());     // the autostart tick minimises itself
    EXPECT_EQ(view.calls, "minimize ");
    EXPECT_FALSE(tray.IsInTray());
    EXPECT_TRUE(view.visible);
}

}  // namespace
