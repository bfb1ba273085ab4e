#pragma once
#include "platform/windows/Win32.h"

// A static control made a link by subclassing: the hand cursor over it, and
// a click reported to the notify window as WM_TIMER with the notify id (0:
// the control reports its own clicks, as SS_NOTIFY statics do). Drawing it
// in the link colour is the parent's WM_CTLCOLORSTATIC.
class CHyperLink {
public:
    CHyperLink() = default;
    ~CHyperLink();
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    void Subclass(HWND control, HCURSOR hand);
    void SetNotify(HWND target, unsigned notifyId) {
        m_target = target;
        m_notifyId = notifyId;
    }
    HWND Handle() const { return m_control; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self);

    HWND m_control = nullptr;
    HCURSOR m_hand = nullptr;
    HWND m_target = nullptr;
    unsigned m_notifyId = 0;
    bool m_pressed = false;
};
