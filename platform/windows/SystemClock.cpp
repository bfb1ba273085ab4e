#include "platform/windows/SystemClock.h"

#include <ctime>

std::int64_t CSystemClock::Now() { return static_cast<std::int64_t>(_time64(nullptr)); }
