#include "winapp/HyperLink.h"

#include "winapp/WindowText.h"

// after Win32.h
#include <commctrl.h>

namespace {
constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kToolId = 1;

TOOLINFOA Tool(HWND control) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = control;
    tool.uId = kToolId;
    return tool;
}
}  // namespace

CHyperLink::~CHyperLink() {
    if (m_hControl && ::IsWindow(m_hControl)) ::RemoveWindowSubclass(m_hControl, &Proc, kSubclassId);
    if (m_hTip && ::IsWindow(m_hTip)) ::DestroyWindow(m_hTip);
    if (m_fontLink) ::DeleteObject(m_fontLink);
}

void CHyperLink::Subclass(HWND control, HCURSOR hand) {
    m_hControl = control;
    m_hHand = hand;
    if (!control) return;
    m_strLinkUrl = WindowText(control);

    LOGFONTA lf{};
    auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    if (font && ::GetObjectA(font, sizeof(lf), &lf)) {
        lf.lfUnderline = TRUE;
        lf.lfWeight = FW_BOLD;
        m_fontLink = ::CreateFontIndirectA(&lf);
        if (m_fontLink) ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontLink), TRUE);
        FitToText();
    }

    // The tooltip watches the control's mouse messages itself.
    m_hTip =
        ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr, nullptr, nullptr);
    if (m_hTip) {
        TOOLINFOA tool = Tool(control);
        tool.uFlags = TTF_SUBCLASS;
        ::GetClientRect(control, &tool.rect);
        tool.lpszText = m_strLinkUrl.data();
        ::SendMessageA(m_hTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::SetWindowSubclass(control, &Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void CHyperLink::SetNotify(HWND target, unsigned notifyId, const std::string& tip) {
    m_hTarget = target;
    m_nNotifyId = notifyId;
    SetTipText(tip.empty() ? m_strLinkUrl : tip == "-" ? std::string() : tip);
}

void CHyperLink::SetTipText(const std::string& text) {
    if (!m_hTip) return;
    std::string copy = text;
    TOOLINFOA tool = Tool(m_hControl);
    tool.lpszText = copy.data();
    ::SendMessageA(m_hTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLink::FollowLink() {
    if (m_hTarget) ::SendMessageA(m_hTarget, WM_TIMER, m_nNotifyId, 0);
}

void CHyperLink::FitToText() {
    HWND parent = ::GetParent(m_hControl);
    RECT r{}, client{};
    if (!m_fontLink || !::GetWindowRect(m_hControl, &r) || !::GetClientRect(m_hControl, &client)) return;
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const int frameWidth = (r.right - r.left) - client.right;
    const int frameHeight = (r.bottom - r.top) - client.bottom;

    const std::string text = WindowText(m_hControl);
    SIZE extent{};
    HDC dc = ::GetDC(m_hControl);
    if (!dc) return;
    HGDIOBJ old = ::SelectObject(dc, m_fontLink);
    const bool measured = ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hControl, dc);
    if (!measured) return;
    const LONG w = extent.cx + 20, h = extent.cy;

    // The halvings truncate toward zero, as the rectangle arithmetic of a
    // static does.
    const LONG_PTR style = ::GetWindowLongPtrA(m_hControl, GWL_STYLE);
    if (style & SS_CENTERIMAGE) {
        const LONG d = ((r.bottom - r.top) - h) / 2;
        r.top += d;
        r.bottom -= d;
    } else {
        r.bottom = r.top + h;
    }
    switch (style & SS_TYPEMASK) {
        case SS_CENTER: {
            const LONG d = ((r.right - r.left) - w) / 2;
            r.left += d;
            r.right -= d;
            break;
        }
        case SS_RIGHT:
            r.left = r.right - w;
            break;
        default:
            r.right = r.left + w;
    }
    ::SetWindowPos(m_hControl, nullptr, r.left, r.top, r.right - r.left + frameWidth,
                   r.bottom - r.top + frameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_hTip) {
        TOOLINFOA tool = Tool(m_hControl);
        ::GetClientRect(m_hControl, &tool.rect);
        ::SendMessageA(m_hTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CHyperLink::SetActive(bool active) {
    m_bActive = active;
    ::InvalidateRect(m_hControl, nullptr, TRUE);
}

LRESULT CALLBACK CHyperLink::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
    auto* self = reinterpret_cast<CHyperLink*>(data);
    switch (message) {
        case WM_NCHITTEST:
            // A plain static lets the mouse through to its parent.
            return HTCLIENT;
        case WM_SETCURSOR:
            if (self->m_hHand) {
                ::SetCursor(self->m_hHand);
                return TRUE;
            }
            break;
        case WM_SETFOCUS:
            self->SetActive(true);
            break;
        case WM_KILLFOCUS:
            self->SetActive(false);
            break;
        case WM_LBUTTONDOWN:
            ::SetFocus(window);
            self->SetActive(true);
            break;
        case WM_LBUTTONUP:
            // Every release follows while the link is active, so the second
            // click of a double-click follows it again.
            if (self->m_bActive) {
                self->FollowLink();
                return 0;
            }
            break;
        case WM_KEYDOWN:
            // Auto-repeated presses follow it too.
            if (wParam == VK_SPACE) {
                self->FollowLink();
                return 0;
            }
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, &Proc, kSubclassId);
            self->m_hControl = nullptr;
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
