#pragma once
#include "platform/windows/Win32.h"

// Shows the hand cursor over a control that reports its own clicks (a
// static with SS_NOTIFY), by subclassing it.
class CHandCursor {
public:
    CHandCursor() = default;
    ~CHandCursor();
    CHandCursor(const CHandCursor&) = delete;
    CHandCursor& operator=(const CHandCursor&) = delete;

    void Subclass(HWND control, HCURSOR hand);

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR self);

    HWND m_control = nullptr;
    HCURSOR m_hand = nullptr;
};
