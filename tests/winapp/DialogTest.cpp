#include <gtest/gtest.h>

#include <vector>

#include "platform/windows/Win32Clipboard.h"
#include "tests/fakes/WindowFixture.h"
#include "winapp/HtmlView.h"
#include "winapp/Win32Dialog.h"
#include "window/DialogTemplate.h"
// after Win32.h
#include <commctrl.h>

namespace {

class CCountingCommands : public IWindowCommands {
public:
    void OnHomePage() override { ++home; }
    void OnPromotionClicked(int source) override { promotions.push_back(source); }
    int home = 0;
    std::vector<int> promotions;
};

std::string Text(HWND window) {
    char buffer[256] = {};
    ::GetWindowTextA(window, buffer, sizeof(buffer));
    return buffer;
}

// The dialog from the program's own resource, with a fake system behind it.
class DialogTest : public ::testing::Test, public CWindowFixture<> {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(CHtmlView::Register(::GetModuleHandleA(nullptr)));
    }
    void SetUp() override {
        Add(30, "C:\\bin\\tool.exe");
        Add(31, "C:\\bin\\b.exe");
        Window().SetCommands(commands);
        hwnd = dialog.Create(false);
        ASSERT_NE(hwnd, nullptr);
        dialog.PumpMessages();
    }
    CLoadwatchWindow& Window() override { return dialog.Window(); }
    CWin32ReportList& List() override { return dialog.ReportList(); }
    // Through the dialog's own message, as the system's timer brings it.
    void RefreshTimer() override { ::SendMessageA(hwnd, WM_TIMER, kRefreshTimer, 0); }
    // Handles messages until the details' workers have posted the page.
    void UntilLoaded() {
        while (!Settled()) {
            ::WaitMessage();
            dialog.PumpMessages();
        }
    }
    // The list view shows, row for row, what the report list holds.
    void ExpectNativeRowsMatch() {
        HWND list = ::GetDlgItem(hwnd, IDC_LIST);
        const int rows = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        ASSERT_EQ(rows, List().GetItemCount());
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < 2; ++column) {
                char text[128] = {};
                LVITEMA item{};
                item.iSubItem = column;
                item.pszText = text;
                item.cchTextMax = sizeof(text);
                ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
                EXPECT_EQ(text, List().GetItemText(row, column)) << row << "," << column;
            }
        }
    }

    CCountingCommands commands;
    CWin32Dialog dialog{::GetModuleHandleA(nullptr), Platform()};
    HWND hwnd = nullptr;
};

TEST_F(DialogTest, ControlsCarryTheTemplatesIdsTextsAndPlaces) {
    RECT frame;
    ::GetWindowRect(hwnd, &frame);
    const Size desktop = dialog.GetDesktopSize();
    // On a screen too small for it the dialog re-places its controls.
    const bool fits = frame.right - frame.left <= desktop.cx && frame.bottom - frame.top <= desktop.cy - 20;
    for (const ControlTemplate& c : DialogTemplate()) {
        HWND control = ::GetDlgItem(hwnd, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        if (c.kind != ControlKind::List && c.kind != ControlKind::Html && c.kind != ControlKind::ClickIcon) {
            EXPECT_EQ(Text(control), c.text) << c.id;
        }
        EXPECT_EQ(::IsWindowEnabled(control) != FALSE, c.kind != ControlKind::Button) << c.id;
        // Position and size each mapped on their own, as the dialog manager does.
        RECT expected{c.dlu.x, c.dlu.y, c.dlu.width, c.dlu.height};
        ::MapDialogRect(hwnd, &expected);
        const Rect actual = dialog.GetCtrlRect(c.id);
        const bool fixed = c.id == IDC_LABEL_PROGRAMS || c.id == IDC_LINK_ELEVATE ||
                           c.id == IDC_LABEL_DETAILS || c.id == IDC_FREEZE;
        // Icons take the icon's size, links their text's (below).
        if (c.kind == ControlKind::ClickIcon || c.kind == ControlKind::Link || (!fits && !fixed)) continue;
        EXPECT_EQ(actual, (Rect{expected.left, expected.top, expected.right, expected.bottom})) << c.id;
    }
    char cls[64] = {};
    ::GetClassNameA(::GetDlgItem(hwnd, IDC_HTML), cls, sizeof(cls));
    EXPECT_STREQ(cls, CHtmlView::kClassName);
}

TEST_F(DialogTest, WindowIsFixedInSizeWithTitleVersionAndAboutEntry) {
    EXPECT_EQ(Text(hwnd), "Loadwatch 1.13");
    const LONG_PTR style = ::GetWindowLongPtrA(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    HMENU menu = ::GetSystemMenu(hwnd, FALSE);
    const int last = ::GetMenuItemCount(menu) - 1;
    char text[64] = {};
    ::GetMenuStringA(menu, CWin32Dialog::kAboutCommand, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_EQ(::GetMenuItemID(menu, last), CWin32Dialog::kAboutCommand);
    EXPECT_STREQ(text, "Inf&o about...");
    EXPECT_EQ(dialog.GetHtml(), "Please choose a program.");
}

TEST_F(DialogTest, TickFillsTheListAndASelectionEnablesTheButtons) {
    HWND list = ::GetDlgItem(hwnd, IDC_LIST);
    Tick({30, 31});
    ASSERT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    char text[64] = {};
    LVITEMA item{};
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    ::SendMessageA(list, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(text, List().GetItemText(0, 0));
    const std::string name = text;

    // The row's tip is its amounts, handed to the list view when it asks.
    EXPECT_TRUE(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_INFOTIP);
    const std::string amounts = ComposeAmountsText(*processes.FindByPid(List().GetItemData(0)));
    EXPECT_EQ(amounts.rfind("Processor: 20% of one core\n", 0), 0u);
    for (int size : {512, 10}) {
        std::vector<char> tipText(static_cast<size_t>(size), 'x');
        NMLVGETINFOTIPA ask{};
        ask.hdr.hwndFrom = list;
        ask.hdr.idFrom = IDC_LIST;
        ask.hdr.code = static_cast<UINT>(LVN_GETINFOTIPA);
        ask.pszText = tipText.data();
        ask.cchTextMax = size;
        ask.iItem = 0;
        ::SendMessageA(hwnd, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&ask));
        EXPECT_EQ(std::string(tipText.data()), amounts.substr(0, static_cast<size_t>(size) - 1)) << size;
    }

    LVITEMA select{};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = select.stateMask;
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
    ::SendMessageA(list, LVM_SETSELECTIONMARK, 0, 0);
    ::SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
    Window().OnListNotify();
    const std::string loading = "Loading the details of this program...";
    EXPECT_EQ(dialog.GetHtml(), AmountsHtml(List().GetItemData(0)) + loading);
    UntilLoaded();
    for (int id : {IDC_PROPERTIES, IDC_OPEN_FOLDER, IDC_TERMINATE, IDC_SCAN_1, IDC_SCAN_2})
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, id))) << id;
    // No window found, no uninstaller beside it.
    for (int id : {IDC_CLOSE_PROGRAM, IDC_UNINSTALL})
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, id))) << id;
    // The page names the file it was asked about (the query encodes the dot).
    EXPECT_EQ(dialog.GetHtml().rfind("page of " + name.substr(0, name.find('.')) + "%2eexe"),
              AmountsHtml(List().GetItemData(0)).size());

    // The other program is busy again: its row moves to the top, the rest is
    // updated in place, and the selection stays with its program.
    const std::uint32_t selected = List().GetItemData(0);
    const std::uint32_t other = selected == 30 ? 31 : 30;
    Tick({other});
    ExpectNativeRowsMatch();
    EXPECT_EQ(List().GetItemData(0), other);
    EXPECT_EQ(GetSelectedRowData(List()), selected);
    Tick();
    ExpectNativeRowsMatch();
}

TEST_F(DialogTest, LinkAndPanelClicksReachTheCommands) {
    for (int id : {IDC_LINK_HOME, IDC_PROMO_TITLE_2}) {
        HWND link = ::GetDlgItem(hwnd, id);
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    ::SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_PROMO_ICON_3, STN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDC_PROMO_ICON_3)));
    EXPECT_EQ(commands.home, 1);
    EXPECT_EQ(commands.promotions, (std::vector<int>{static_cast<int>(kNotifyPromotion2), IDC_PROMO_ICON_3}));
}

// The text colour the dialog gives a static when it draws it.
COLORREF DrawnTextColour(HWND dialog, HWND control) {
    HDC dc = ::GetDC(control);
    ::SetTextColor(dc, RGB(1, 2, 3));
    ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(control));
    const COLORREF colour = ::GetTextColor(dc);
    ::ReleaseDC(control, dc);
    return colour;
}

constexpr int kLinkIds[] = {IDC_LINK_HOME, IDC_LINK_ELEVATE, IDC_PROMO_TITLE_1, IDC_PROMO_TITLE_2,
                            IDC_PROMO_TITLE_3};

TEST_F(DialogTest, LinksAreBoldUnderlinedBlueFittedToTheirTextAndTipped) {
    RECT frame;
    ::GetWindowRect(hwnd, &frame);
    const Size desktop = dialog.GetDesktopSize();
    const bool fits = frame.right - frame.left <= desktop.cx && frame.bottom - frame.top <= desktop.cy - 20;
    for (int id : kLinkIds) {
        HWND link = ::GetDlgItem(hwnd, id);
        LOGFONTA lf{};
        ASSERT_TRUE(
            ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(link, WM_GETFONT, 0, 0)), sizeof(lf), &lf));
        EXPECT_EQ(lf.lfWeight, FW_BOLD) << id;
        EXPECT_TRUE(lf.lfUnderline) << id;
        EXPECT_EQ(DrawnTextColour(hwnd, link), RGB(0, 0, 255)) << id;

        // Its text in its font, 20 pixels wider; the aligned edge stays.
        const std::string text = Text(link);
        SIZE extent{};
        HDC dc = ::GetDC(link);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(link, WM_GETFONT, 0, 0)));
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(link, dc);
        const Rect r = dialog.GetCtrlRect(id);
        EXPECT_EQ(r.width, extent.cx + 20) << id;
        EXPECT_EQ(r.height, extent.cy) << id;
        const ControlTemplate& c = *FindControlTemplate(id);
        RECT placed{c.dlu.x, c.dlu.y, c.dlu.x + c.dlu.width, c.dlu.y + c.dlu.height};
        ::MapDialogRect(hwnd, &placed);
        if (fits) {
            EXPECT_EQ(c.rightAligned ? r.x + r.width : r.x, c.rightAligned ? placed.right : placed.left)
                << id;
        }

        // The tooltip shows the caption.
        HWND tip = dialog.Link(id)->Tip();
        ASSERT_NE(tip, nullptr) << id;
        char buffer[128] = {};
        TOOLINFOA tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = link;
        tool.uId = 1;
        tool.lpszText = buffer;
        ::SendMessageA(tip, TTM_GETTEXTA, sizeof(buffer), reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(std::string(buffer), text) << id;
    }
}

TEST_F(DialogTest, ALinkIsTealWhileFocusedAndFollowsEveryReleaseAndSpace) {
    HWND link = ::GetDlgItem(hwnd, IDC_PROMO_TITLE_1);
    const auto notify = static_cast<int>(kNotifyPromotion1);
    ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_TRUE(commands.promotions.empty());  // followed on the release
    ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(commands.promotions, std::vector<int>{notify});
    EXPECT_EQ(::GetFocus(), link);
    EXPECT_EQ(DrawnTextColour(hwnd, link), RGB(0, 128, 128));
    // Every space press follows it, auto-repeated ones too; other keys do not.
    for (WPARAM key : {WPARAM(VK_SPACE), WPARAM(VK_SPACE), WPARAM('A')})
        ::SendMessageA(link, WM_KEYDOWN, key, key == VK_SPACE ? 0x40000001 : 1);
    EXPECT_EQ(commands.promotions, (std::vector<int>{notify, notify, notify}));
    ::SetFocus(::GetDlgItem(hwnd, IDC_LIST));
    EXPECT_EQ(DrawnTextColour(hwnd, link), RGB(0, 0, 255));
}

TEST_F(DialogTest, ADoubleClickOpensATitleTwiceADescriptionOrIconOnce) {
    // The messages a double-click brings a control whose class takes them.
    const int title = static_cast<int>(kNotifyPromotion2);
    const std::pair<int, std::vector<int>> opened[] = {
        {IDC_PROMO_TITLE_2, {title, title}},
        {IDC_PROMO_TEXT_1, {IDC_PROMO_TEXT_1}},
        {IDC_PROMO_ICON_3, {IDC_PROMO_ICON_3}},
    };
    for (const auto& [id, expected] : opened) {
        commands.promotions.clear();
        HWND control = ::GetDlgItem(hwnd, id);
        EXPECT_TRUE(::GetClassLongPtrA(control, GCL_STYLE) & CS_DBLCLKS) << id;
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            ::SendMessageA(control, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(2, 2));
        EXPECT_EQ(commands.promotions, expected) << id;
    }
}

TEST(Win32ClipboardTest, TakesTextBeyondAsciiWhole) {
    const std::string path =
        "C:\\Programme\\Gr\xC3\xBC\xC3\x9F"
        "e\\tool.exe";
    CWin32Clipboard clipboard;
    ASSERT_TRUE(clipboard.SetText(path));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    std::string back;
    if (auto* wide = static_cast<const wchar_t*>(data ? ::GlobalLock(data) : nullptr)) {
        char buffer[MAX_PATH] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, buffer, sizeof(buffer), nullptr, nullptr);
        back = buffer;
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    EXPECT_EQ(back, path);
}

}  // namespace
