// Runs on a real X server (the tray script's Xvfb): the window manager's
// client list is written by the test itself.
#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <vector>

#include "app/XcbWindows.h"

namespace {
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : 0;
    std::free(r);
    return atom;
}
}  // namespace

class XcbWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void findsTheFirstListedWindowOfTheProcess() {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QVERIFY(x11);
        xcb_connection_t* c = x11->connection();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        QWidget first, second;
        first.show();
        second.show();
        const auto a = static_cast<xcb_window_t>(first.winId());
        const auto b = static_cast<xcb_window_t>(second.winId());
        auto setList = [&](std::vector<xcb_window_t> windows) {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, Atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW,
                                32, static_cast<std::uint32_t>(windows.size()), windows.data());
            xcb_flush(c);
        };
        const std::uint32_t self = static_cast<std::uint32_t>(getpid());
        setList({0x7fffff, b, a});  // a window that is gone, then ours in list order
        QCOMPARE(FindX11ProcessWindow(c, self), b);
        QCOMPARE(FindX11ProcessWindow(c, self + 100000), 0u);
        setList({});
        QCOMPARE(FindX11ProcessWindow(c, self), 0u);
        xcb_delete_property(c, root, Atom(c, "_NET_CLIENT_LIST"));
        xcb_flush(c);
        QCOMPARE(FindX11ProcessWindow(c, self), 0u);
    }
};

QTEST_MAIN(XcbWindowsTest)
#include "XcbWindowsTest.moc"
