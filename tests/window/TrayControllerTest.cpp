#include <gtest/gtest.h>

#include "tests/window/FakeDialogView.h"
#include "window/TrayController.h"

namespace {

TEST(TrayControllerTest, MinimiseGoesToTheTrayAndAClickComesBack) {
    CFakeDialogView view;
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
    CFakeDialogView view;
    CTrayController tray(view, "tip");
    EXPECT_TRUE(tray.MinimizeToTray());
    EXPECT_TRUE(tray.MinimizeToTray());
    EXPECT_EQ(view.icons, 1);
    EXPECT_EQ(view.calls, "hide fly-in remove add(tip) hide fly-in remove add(tip) ");
}

TEST(TrayControllerTest, WithoutATrayTheWindowIsMinimisedNormally) {
    CFakeDialogView view;
    view.trayAvailable = false;
    CTrayController tray(view, "tip");
    EXPECT_FALSE(tray.OnMinimizeRequest());  // the view minimises as usual
    EXPECT_FALSE(tray.MinimizeToTray());     // the autostart tick minimises itself
    EXPECT_EQ(view.calls, "minimize ");
    EXPECT_FALSE(tray.IsInTray());
    EXPECT_TRUE(view.visible);
}

}  // namespace
