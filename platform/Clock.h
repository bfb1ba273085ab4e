#pragma once
#include <cstdint>

// Wall clock of the monitor: whole seconds since 1970-01-01 UTC.
class IClock {
public:
    virtual ~IClock() = default;
    // Never fails; may go backwards if the system clock is set back.
    virtual std::int64_t Now() = 0;
};
