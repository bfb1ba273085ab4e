#include "app/DesktopServices.h"

#include <QGuiApplication>

#include "app/XcbWindows.h"
#include "platform/linux/Privilege.h"

bool CDesktopServices::EnableDebugPrivilege() { return EnablePrivilege("SeDebugPrivilege", true); }

WindowId CDesktopServices::FindProcessWindow(std::uint32_t pid) {
    // Wayland and other platforms do not tell which process owns a window.
    // On a worker thread: xcb serialises the requests on Qt's connection.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11) return 0;
    return FindX11ProcessWindow(x11->connection(), pid);
}
