#pragma once
#include <cstdint>

#include "platform/windows/Win32.h"

// A FILETIME as the one 64-bit count the rest of the program uses.
inline std::uint64_t FileTimeValue(const FILETIME& ft) {
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
