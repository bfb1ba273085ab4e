#include "winapp/HandCursor.h"

// after Win32.h
#include <commctrl.h>

namespace {
constexpr UINT_PTR kSubclassId = 2;
}

CHandCursor::~CHandCursor() {
    if (m_control && ::IsWindow(m_control)) ::RemoveWindowSubclass(m_control, &Proc, kSubclassId);
}

void CHandCursor::Subclass(HWND control, HCURSOR hand) {
    m_control = control;
    m_hand = hand;
    if (control && hand) ::SetWindowSubclass(control, &Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CHandCursor::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR data) {
    auto* self = reinterpret_cast<CHandCursor*>(data);
    switch (message) {
        case WM_SETCURSOR:
            ::SetCursor(self->m_hand);
            return TRUE;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, &Proc, kSubclassId);
            self->m_control = nullptr;
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
