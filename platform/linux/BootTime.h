#pragma once
#include <cstdint>

// FILETIME of the system's boot from the btime line of /proc/stat. btime is
// whole seconds, cut down, so start times built on it alone come up to a
// second early. The gap between the real-time and the boot-time clock (the
// one that start times count in) gives the fraction; it is taken only when
// it agrees with btime, so a procfs root other than the running system's
// keeps its own btime.
std::uint64_t BootFileTime(std::uint64_t btime);
