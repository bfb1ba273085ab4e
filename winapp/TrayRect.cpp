#include "winapp/TrayRect.h"

#include <cstring>
// after Win32.h
#include <shellapi.h>

namespace {
BOOL CALLBACK VisitTaskbarChild(HWND child, LPARAM param) {
    RECT& out = *reinterpret_cast<RECT*>(param);
    char name[255] = {};
    ::GetClassNameA(child, name, sizeof(name));
    if (std::strcmp(name, "TrayNotifyWnd") == 0) {
        ::GetWindowRect(child, &out);
        return TRUE;
    }
    if (std::strcmp(name, "TrayClockWClass") != 0) return TRUE;
    RECT clock{};
    ::GetWindowRect(child, &clock);
    // A clock stacked above the icons, or beside them.
    if (clock.bottom < out.bottom - 5)
        out.top = clock.bottom;
    else
        out.right = clock.left;
    return FALSE;
}
}  // namespace

RECT GetTrayRect() {
    RECT out{};
    if (HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr)) {
        ::GetWindowRect(taskbar, &out);
        ::EnumChildWindows(taskbar, &VisitTaskbarChild, reinterpret_cast<LPARAM>(&out));
        return out;
    }
    APPBARDATA bar{};
    bar.cbSize = sizeof(bar);
    if (::SHAppBarMessage(ABM_GETTASKBARPOS, &bar)) {
        const RECT& r = bar.rc;
        if (bar.uEdge == ABE_LEFT || bar.uEdge == ABE_RIGHT)
            return {r.left, r.bottom - 100, r.right, r.bottom - 16};
        return {r.right - 100, r.top, r.right - 16, r.bottom};
    }
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &out, 0);
    out.left = out.right - 150;
    out.top = out.bottom - 30;
    return out;
}
