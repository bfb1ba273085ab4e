#include "winapp/HyperLink.h"

// after Win32.h
#include <commctrl.h>

namespace {
constexpr UINT_PTR kSubclassId = 1;
}

CHyperLink::~CHyperLink() {
    if (m_control && ::IsWindow(m_control)) ::RemoveWindowSubclass(m_control, &Proc, kSubclassId);
}

void CHyperLink::Subclass(HWND control, HCURSOR hand) {
    m_control = control;
    m_hand = hand;
    if (control) ::SetWindowSubclass(control, &Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CHyperLink::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
    auto* self = reinterpret_cast<CHyperLink*>(data);
    switch (message) {
        case WM_NCHITTEST:
            // A plain static lets the mouse through to its parent.
            return HTCLIENT;
        case WM_SETCURSOR:
            if (self->m_hand) {
                ::SetCursor(self->m_hand);
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            self->m_pressed = true;
            break;
        case WM_LBUTTONUP: {
            const bool click = self->m_pressed;
            self->m_pressed = false;
            if (click && self->m_notifyId != 0 && self->m_target) {
                ::SendMessageA(self->m_target, WM_TIMER, self->m_notifyId, 0);
                return 0;
            }
            break;
        }
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, &Proc, kSubclassId);
            self->m_control = nullptr;
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
