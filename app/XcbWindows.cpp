#include "app/XcbWindows.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t InternAtom(xcb_connection_t* c, const char* name) {
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}
}  // namespace

std::uint32_t FindX11ProcessWindow(xcb_connection_t* c, std::uint32_t pid) {
    if (!c || xcb_connection_has_error(c)) return 0;
    const xcb_atom_t clientList = InternAtom(c, "_NET_CLIENT_LIST");
    const xcb_atom_t wmPid = InternAtom(c, "_NET_WM_PID");
    if (clientList == XCB_ATOM_NONE || wmPid == XCB_ATOM_NONE) return 0;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    XcbReply<xcb_get_property_reply_t> list(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, clientList, XCB_ATOM_WINDOW, 0, 1u << 16), nullptr));
    if (!list || list->format != 32) return 0;
    const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(list.get()));
    const int count = xcb_get_property_value_length(list.get()) / 4;

    // All questions first, then the answers: one round trip, not one per window.
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        cookies.push_back(xcb_get_property(c, 0, windows[i], wmPid, XCB_ATOM_CARDINAL, 0, 1));
    std::uint32_t found = 0;
    for (int i = 0; i < count; ++i) {
        XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c, cookies[static_cast<size_t>(i)], nullptr));
        if (found || !reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
            continue;
        if (*static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())) == pid)
            found = windows[i];
    }
    return found;
}
