#include <gtest/gtest.h>

#include "window/ControlIds.h"
#include "window/DialogTemplate.h"
#include "window/DialogUnits.h"
#include "window/FitToScreen.h"

namespace {

// The template in pixels with 6 x 13 base units: 872 x 741.
std::map<int, Rect> TemplatePixels() {
    std::map<int, Rect> controls;
    for (const ControlTemplate& c : DialogTemplate()) controls[c.id] = MapDialogRect(c.dlu, {6, 13});
    return controls;
}

TEST(DialogUnitsTest, BaseUnitsAndCornersRoundLikeWindows) {
    // 8-point fonts: 52 letters of 312 px average 6; of 338 px, 6.5 rounds up.
    EXPECT_EQ(BaseUnitsFromFont(312, 13).cx, 6);
    EXPECT_EQ(BaseUnitsFromFont(338, 13).cx, 7);
    EXPECT_EQ(BaseUnitsFromFont(337, 13).cx, 6);
    // Corners map separately: 7 + 90 dlu at 7 px per 4 units is 12..170.
    EXPECT_EQ(MapDialogRect({7, 7, 90, 8}, {7, 13}), (Rect{12, 11, 158, 13}));
    EXPECT_EQ(MapDialogSize(kDialogSizeDlu, {6, 13}), (Size{872, 741}));
}

TEST(FitToScreenTest, OnlyATooSmallScreenMovesTheDialog) {
    const std::pair<Size, Rect> cases[] = {
        {{872, 761}, {}},                   // fits with the 20 pixels to spare
        {{1920, 1080}, {}},                 //
        {{872, 760}, {0, 20, 872, 720}},   // one pixel too low
        {{800, 1080}, {7, 169, 785, 741}},  // too narrow: desktop - 15
    };
    for (const auto& [desktop, window] : cases) {
        const FitResult fit = FitToScreen({872, 741}, desktop, TemplatePixels());
        EXPECT_EQ(fit.moved, window.width != 0) << desktop.cx << "x" << desktop.cy;
        EXPECT_EQ(fit.window, window) << desktop.cx << "x" << desktop.cy;
    }
}

TEST(FitToScreenTest, TooLowAScreenShrinksTheHeightAndMovesTheRightColumn) {
    const std::map<int, Rect> before = TemplatePixels();
    const FitResult fit = FitToScreen({872, 741}, {1024, 600}, before);
    ASSERT_TRUE(fit.moved);
    // Height 600 - 40, width kept, centred on the desktop.
    EXPECT_EQ(fit.window, (Rect{76, 20, 872, 560}));
    const int l = before.at(IDC_LIST).x;               // 11
    const int a = before.at(IDC_PROPERTIES).width;     // 135
    const int b = before.at(IDC_OPEN_FOLDER).width;    // 135
    const int x1 = 872 - b - a - l, x2 = 872 - b - l;  // 591, 726
    struct Expect {
        int id;
        Rect rect;
    };
    const Rect html = before.at(IDC_HTML);
    const Rect home = before.at(IDC_LINK_HOME);
    auto at = [&](int id, int x, int dy) {
        Rect r = before.at(id);
        return Rect{x, r.y + dy, r.width, r.height};
    };
    const Expect expected[] = {
        {IDC_LIST, {l, before.at(IDC_LIST).y, 872 - 2 * l, before.at(IDC_LIST).height}},
        {IDC_HTML, {html.x, html.y, 872 - 3 * l - a - b, 560 - html.y - l - 28}},
        {IDC_LINK_HOME, {872 - l - home.width, home.y, home.width, home.height}},
        // The heading just above the first icon, two pixels apart: -85 would put it on the icon.
        {IDC_LABEL_PROMO, at(IDC_LABEL_PROMO, x1,
                             before.at(IDC_PROMO_ICON_1).y - 110 - before.at(IDC_LABEL_PROMO).height - 2 -
                                 before.at(IDC_LABEL_PROMO).y)},
        // An entry moves as a whole: its icon to the left column, its title beside it.
        {IDC_PROMO_TITLE_2,
         at(IDC_PROMO_TITLE_2, x1 + before.at(IDC_PROMO_TITLE_2).x - before.at(IDC_PROMO_ICON_2).x, -110)},
        {IDC_PROMO_ICON_1, at(IDC_PROMO_ICON_1, x1, -110)},
        {IDC_LABEL_ACTIONS, at(IDC_LABEL_ACTIONS, x1, 0)},
        {IDC_SCAN_1, at(IDC_SCAN_1, x1, 0)},
        {IDC_CLOSE_PROGRAM, at(IDC_CLOSE_PROGRAM, x2, 0)},
    };
    for (const Expect& e : expected) EXPECT_EQ(fit.controls.at(e.id), e.rect) << e.id;
    // Labels and the check box stay where they are.
    for (int id : {IDC_LINK_ELEVATE, IDC_LABEL_PROGRAMS, IDC_LABEL_DETAILS, IDC_FREEZE})
        EXPECT_EQ(fit.controls.count(id), 0u) << id;
}

TEST(FitToScreenTest, NoTwoControlsOverlapOnLowScreens) {
    for (Size desktop : {Size{1024, 600}, Size{1280, 720}, Size{872, 760}}) {
        std::map<int, Rect> placed = TemplatePixels();
        const FitResult fit = FitToScreen({872, 741}, desktop, placed);
        ASSERT_TRUE(fit.moved);
        for (const auto& [id, rect] : fit.controls) placed[id] = rect;
        for (auto a = placed.begin(); a != placed.end(); ++a)
            for (auto b = std::next(a); b != placed.end(); ++b) {
                const Rect &p = a->second, &q = b->second;
                const bool apart = p.x + p.width <= q.x || q.x + q.width <= p.x || p.y + p.height <= q.y ||
                                   q.y + q.height <= p.y;
                EXPECT_TRUE(apart) << a->first << " and " << b->first << " at " << desktop.cx << "x"
                                   << desktop.cy;
            }
    }
}

}  // namespace
