#pragma once
#include <cstdint>

#include "platform/windows/Win32.h"

// The first top-level window, in the system's Z order, whose thread belongs
// to process pid; null if it has none.
HWND FindProcessWindow(std::uint32_t pid);
