#pragma once
#include "platform/Clock.h"

// _time64: seconds since 1970 UTC.
class CSystemClock : public IClock {
public:
    std::int64_t Now() override;
};
