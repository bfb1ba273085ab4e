#pragma once
#include <string>

#include "platform/windows/Win32.h"

// A static text made a link by subclassing: bold and underlined, blue, teal
// while it has the focus or is pressed, the hand cursor, a tooltip, sized to
// its text, and followed on every button release or with the space bar.
// Following it sends the notify window WM_TIMER with the notify id; that is
// the only mode built. The parent draws it: its WM_CTLCOLORSTATIC takes
// TextColour().
class CHyperLink {
public:
    static constexpr COLORREF s_crLink = RGB(0, 0, 255);
    static constexpr COLORREF s_crActive = RGB(0, 128, 128);

    CHyperLink() = default;
    ~CHyperLink();
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    // Link font, fitted size, cursor and tooltip; a control without a font
    // keeps the system font and its size.
    void Subclass(HWND control, HCURSOR hand);
    // The tooltip shows the caption for an empty tip, nothing for "-", else
    // the tip.
    void SetNotify(HWND target, unsigned notifyId, const std::string& tip = {});
    void FollowLink();
    // The window's width becomes its text's width in the link font plus 20
    // pixels, its height the text's; a right-aligned link keeps its right
    // edge, a centred one its centre, others their left edge.
    void FitToText();

    COLORREF TextColour() const { return m_bActive ? s_crActive : s_crLink; }
    HWND Handle() const { return m_hControl; }
    HWND Tip() const { return m_hTip; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self);
    void SetActive(bool active);
    void SetTipText(const std::string& text);

    HWND m_hControl = nullptr;
    HCURSOR m_hHand = nullptr;
    HWND m_hTarget = nullptr;
    unsigned m_nNotifyId = 0;
    std::string m_strLinkUrl;
    HFONT m_fontLink = nullptr;
    HWND m_hTip = nullptr;
    // Focused or pressed; only losing the focus clears it.
    bool m_bActive = false;
};
