#pragma once
#include <cstdint>

struct xcb_connection_t;

// The first top-level window of process pid as the window manager lists it
// (_NET_CLIENT_LIST, in its order) with _NET_WM_PID equal to pid; 0 if none,
// or if the window manager keeps no such list.
std::uint32_t FindX11ProcessWindow(xcb_connection_t* connection, std::uint32_t pid);
