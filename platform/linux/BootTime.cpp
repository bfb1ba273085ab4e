#include "platform/linux/BootTime.h"

#include <time.h>

#include "platform/FileTime.h"

std::uint64_t BootFileTime(std::uint64_t btime) {
    timespec real{}, sinceBoot{};
    if (::clock_gettime(CLOCK_REALTIME, &real) != 0 || ::clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0)
        return TimeToFileTime(static_cast<std::int64_t>(btime));
    std::int64_t ns = (static_cast<std::int64_t>(real.tv_sec) - sinceBoot.tv_sec) * 1'000'000'000 +
                      (static_cast<std::int64_t>(real.tv_nsec) - sinceBoot.tv_nsec);
    const std::int64_t seconds = ns / 1'000'000'000;
    if (ns < 0 || static_cast<std::uint64_t>(seconds) != btime)
        return TimeToFileTime(static_cast<std::int64_t>(btime));
    return TimeToFileTime(seconds) + static_cast<std::uint64_t>(ns % 1'000'000'000) / 100;
}
