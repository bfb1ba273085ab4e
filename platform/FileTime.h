#pragma once
#include <cstdint>

// FILETIME: 100-ns units since 1601-01-01 UTC, the unit of process times and
// start times throughout the program.
inline constexpr std::uint64_t kFileTimeUnitsPerSecond = 10000000;
inline constexpr std::int64_t kFileTimeEpochDelta = 11644473600;  // seconds from 1601 to 1970

// Seconds since 1970 of a FILETIME; 0 for one before 1970.
constexpr std::int64_t FileTimeToTime(std::uint64_t fileTime) {
    auto seconds = static_cast<std::int64_t>(fileTime / kFileTimeUnitsPerSecond);
    return seconds < kFileTimeEpochDelta ? 0 : seconds - kFileTimeEpochDelta;
}

// FILETIME of seconds since 1970; 0 for a time before 1601.
constexpr std::uint64_t TimeToFileTime(std::int64_t time) {
    if (time < -kFileTimeEpochDelta) return 0;
    return static_cast<std::uint64_t>(time + kFileTimeEpochDelta) * kFileTimeUnitsPerSecond;
}
