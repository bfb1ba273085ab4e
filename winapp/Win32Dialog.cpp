#include "winapp/Win32Dialog.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "actions/PromotionPanel.h"
#include "winapp/TrayRect.h"
#include "winapp/WindowText.h"
#include "window/ControlIds.h"
#include "window/DialogTemplate.h"
// after Win32.h
#include <shellapi.h>

namespace {
constexpr int kTemplateId = 102;
constexpr int kIconId = 128;
constexpr int kHandCursorId = 129;

// The dialog font in bold.
HFONT BoldFont(HWND dialog) {
    LOGFONTA lf{};
    HFONT base = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!base || !::GetObjectA(base, sizeof(lf), &lf)) return nullptr;
    lf.lfWeight = FW_BOLD;
    return ::CreateFontIndirectA(&lf);
}

}  // namespace

CWin32Dialog::CWin32Dialog(HINSTANCE instance, WindowPlatform platform)
    : m_instance(instance), m_window(*this, platform) {
    const int big = ::GetSystemMetrics(SM_CXICON), small = ::GetSystemMetrics(SM_CXSMICON);
    m_iconBig =
        static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(kIconId), IMAGE_ICON, big, big, 0));
    m_iconSmall =
        static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(kIconId), IMAGE_ICON, small, small, 0));
    m_hand = ::LoadCursorA(instance, MAKEINTRESOURCEA(kHandCursorId));
}

CWin32Dialog::~CWin32Dialog() {
    if (m_hwnd) ::DestroyWindow(m_hwnd);
    if (m_fontBold) ::DeleteObject(m_fontBold);
    for (HICON icon : {m_iconBig, m_iconSmall})
        if (icon) ::DestroyIcon(icon);
}

HWND CWin32Dialog::Create(bool fromAutostart) {
    m_fromAutostart = fromAutostart;
    return ::CreateDialogParamA(m_instance, MAKEINTRESOURCEA(kTemplateId), nullptr, &DialogProc,
                                reinterpret_cast<LPARAM>(this));
}

int CWin32Dialog::Run() {
    MSG msg;
    while (!m_ended && ::GetMessageA(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
    return m_exitCode;
}

void CWin32Dialog::End(int exitCode) {
    if (m_ended) return;
    m_ended = true;
    m_exitCode = exitCode;
    RemoveTrayIcon();
    for (unsigned id : {unsigned(kRefreshTimer), unsigned(kAutostartTimer)}) ::KillTimer(m_hwnd, id);
    ::ShowWindow(m_hwnd, SW_HIDE);
    // Wakes the loop if it waits.
    ::PostMessageA(m_hwnd, WM_NULL, 0, 0);
}

void CWin32Dialog::Dispatch(MSG& msg) {
    if (m_hwnd && ::IsDialogMessageA(m_hwnd, &msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

INT_PTR CALLBACK CWin32Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CWin32Dialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->m_hwnd = hwnd;
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<CWin32Dialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    return self ? self->Handle(message, wParam, lParam) : FALSE;
}

void CWin32Dialog::OnInitDialog() {
    ::SendMessageA(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_iconBig));
    ::SendMessageA(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_iconSmall));
    HWND list = ::GetDlgItem(m_hwnd, IDC_LIST);
    m_list.Attach(list);
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                   LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    for (const ControlTemplate& c : DialogTemplate()) {
        if (c.kind == ControlKind::Link)
            m_links[c.id].Subclass(::GetDlgItem(m_hwnd, c.id), m_hand);
        else if (c.kind == ControlKind::ClickText || c.kind == ControlKind::ClickIcon)
            m_clickables[c.id].Subclass(::GetDlgItem(m_hwnd, c.id), m_hand);
    }
    ::GetWindowRect(m_hwnd, &m_lastWindowRect);
    const RECT before = m_lastWindowRect;
    m_window.OnInitDialog(m_fromAutostart);
    RECT after;
    ::GetWindowRect(m_hwnd, &after);
    if (::EqualRect(&before, &after)) {
        // Centred in the work area of its monitor, as a dialog that was
        // neither moved nor shown while it was set up.
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoA(::MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTOPRIMARY), &info);
        const RECT& work = info.rcWork;
        const int w = after.right - after.left, h = after.bottom - after.top;
        ::SetWindowPos(m_hwnd, nullptr, work.left + (work.right - work.left - w) / 2,
                       work.top + std::max(0L, (work.bottom - work.top - h) / 2), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

const CHyperLink* CWin32Dialog::Link(int id) const {
    auto it = m_links.find(id);
    return it == m_links.end() ? nullptr : &it->second;
}

INT_PTR CWin32Dialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            m_window.OnTimer(static_cast<unsigned>(wParam));
            return TRUE;
        case kPostedMessage:
            RunPosted();
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_ACTIVATEAPP:
            m_window.OnActivateApp();
            return FALSE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam), code = HIWORD(wParam);
            if (id == IDOK || id == IDCANCEL) {
                End(0);
            } else if (id >= IDC_PROPERTIES && id <= IDC_UNINSTALL && code == BN_CLICKED) {
                m_window.OnCommand(id);
            } else if (id >= IDC_PROMO_TEXT_1 && id <= IDC_PROMO_ICON_3 &&
                       (code == STN_CLICKED || (code == STN_DBLCLK && PromotionSecondClickOpens(id)))) {
                m_window.OnCommand(id);
            }
            return TRUE;
        }
        case WM_CLOSE:
            if (m_window.OnClose()) End(0);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE && m_window.OnMinimize()) return TRUE;
            if ((wParam & 0xFFF0) == kAboutCommand) {
                m_window.OnAbout();
                return TRUE;
            }
            return FALSE;
        case kTrayMessage:
            if (wParam == kTrayIconId && (lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP))
                m_window.OnTrayIconClicked();
            return TRUE;
        case WM_CTLCOLORSTATIC: {
            const CHyperLink* link = Link(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            if (!link) return FALSE;
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, link->TextColour());
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    return FALSE;
}

INT_PTR CWin32Dialog::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_LIST) return FALSE;
    switch (header.code) {
        case NM_CUSTOMDRAW: {
            auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
            ::SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, m_list.CustomDraw(draw));
            return TRUE;
        }
        case LVN_GETINFOTIPA:
            m_list.InfoTip(*reinterpret_cast<NMLVGETINFOTIPA*>(const_cast<NMHDR*>(&header)));
            return TRUE;
        case LVN_GETINFOTIPW:
            m_list.InfoTip(*reinterpret_cast<NMLVGETINFOTIPW*>(const_cast<NMHDR*>(&header)));
            return TRUE;
        case LVN_ITEMCHANGED:
        case NM_CLICK:
            m_window.OnListNotify();
            return TRUE;
    }
    return FALSE;
}

void CWin32Dialog::InsertListColumn(int column, const std::string& heading, int width) {
    m_list.InsertColumn(column, heading, width);
}

void CWin32Dialog::EnableControl(int id, bool enable) { ::EnableWindow(::GetDlgItem(m_hwnd, id), enable); }

void CWin32Dialog::ShowControl(int id, bool show) {
    ::ShowWindow(::GetDlgItem(m_hwnd, id), show ? SW_SHOW : SW_HIDE);
}

bool CWin32Dialog::IsChecked(int id) const { return ::IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }

void CWin32Dialog::SetBold(int id) {
    if (!m_fontBold) m_fontBold = BoldFont(m_hwnd);
    if (m_fontBold) ::SendDlgItemMessageA(m_hwnd, id, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontBold), TRUE);
}

void CWin32Dialog::SetLinkNotify(int id, unsigned notifyId) {
    auto it = m_links.find(id);
    if (it != m_links.end()) it->second.SetNotify(m_hwnd, notifyId);
}

std::string CWin32Dialog::GetTitle() const { return WindowText(m_hwnd); }

void CWin32Dialog::SetTitle(const std::string& title) { ::SetWindowTextA(m_hwnd, title.c_str()); }

std::string CWin32Dialog::GetHtml() const { return WindowText(::GetDlgItem(m_hwnd, IDC_HTML)); }

void CWin32Dialog::SetHtml(const std::string& html) {
    HWND view = ::GetDlgItem(m_hwnd, IDC_HTML);
    ::SetWindowTextA(view, html.c_str());
    ::InvalidateRect(view, nullptr, TRUE);
}

void CWin32Dialog::SetTimer(unsigned id, unsigned periodMs) { ::SetTimer(m_hwnd, id, periodMs, nullptr); }

void CWin32Dialog::KillTimer(unsigned id) { ::KillTimer(m_hwnd, id); }

void CWin32Dialog::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(m_postedMutex);
        m_posted.push_back(std::move(task));
    }
    // The first message to arrive runs everything posted so far; the tasks
    // stay here, not in the message, so none leaks if the window goes.
    ::PostMessageA(m_hwnd, kPostedMessage, 0, 0);
}

void CWin32Dialog::RunPosted() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard<std::mutex> lock(m_postedMutex);
        tasks.swap(m_posted);
    }
    for (auto& task : tasks) task();
}

void CWin32Dialog::PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // For the loop that waits for it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

void CWin32Dialog::AddAboutEntry(const std::string& text) {
    HMENU menu = ::GetSystemMenu(m_hwnd, FALSE);
    if (!menu || text.empty()) return;
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kAboutCommand, text.c_str());
}

void CWin32Dialog::ShowInformation(const std::string& caption, const std::string& text) {
    ::MessageBoxA(m_hwnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

Size CWin32Dialog::GetDesktopSize() const {
    RECT r{};
    if (!::GetWindowRect(::GetDesktopWindow(), &r)) return {};
    return {r.right - r.left, r.bottom - r.top};
}

Rect CWin32Dialog::GetCtrlRect(int id) const {
    HWND window = id == 0 ? m_hwnd : ::GetDlgItem(m_hwnd, id);
    RECT r{};
    if (!window || !::GetWindowRect(window, &r)) return {};
    if (id != 0) ::MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void CWin32Dialog::MoveCtrl(int id, const Rect& rect) {
    HWND window = id == 0 ? m_hwnd : ::GetDlgItem(m_hwnd, id);
    if (window)
        ::SetWindowPos(window, nullptr, rect.x, rect.y, rect.width, rect.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWin32Dialog::HideWindow() {
    ::GetWindowRect(m_hwnd, &m_lastWindowRect);
    ::ShowWindow(m_hwnd, SW_HIDE);
}

void CWin32Dialog::ShowWindow() {
    ::ShowWindow(m_hwnd, ::IsIconic(m_hwnd) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(m_hwnd);
}

void CWin32Dialog::MinimizeWindow() { ::ShowWindow(m_hwnd, SW_MINIMIZE); }

void CWin32Dialog::AnimateTray(bool toTray) {
    RECT window = m_lastWindowRect;
    if (::IsWindowVisible(m_hwnd)) ::GetWindowRect(m_hwnd, &window);
    const RECT tray = GetTrayRect();
    ::DrawAnimatedRects(m_hwnd, IDANI_CAPTION, toTray ? &window : &tray, toTray ? &tray : &window);
}

void CWin32Dialog::AddTrayIcon(const std::string& tip) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hwnd;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = m_iconSmall;
    std::strncpy(data.szTip, tip.c_str(), sizeof(data.szTip) - 1);
    ::Shell_NotifyIconA(NIM_ADD, &data);
}

void CWin32Dialog::RemoveTrayIcon() {
    if (!m_hwnd) return;
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = m_hwnd;
    data.uID = kTrayIconId;
    ::Shell_NotifyIconA(NIM_DELETE, &data);
}

bool CWin32Dialog::AskYesNo(const std::string& caption, const std::string& text) {
    return ::MessageBoxA(m_hwnd, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CWin32Dialog::ShowNotice(const std::string& caption, const std::string& text) {
    ::MessageBoxA(m_hwnd, text.c_str(), caption.c_str(), MB_OK);
}

bool CWin32Dialog::IsShiftDown() { return (::GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }

void CWin32Dialog::FlashElevationLink() { ::FlashWindow(::GetDlgItem(m_hwnd, IDC_LINK_ELEVATE), FALSE); }
