#pragma once
#include "platform/Clock.h"

class CFakeClock : public IClock {
public:
    explicit CFakeClock(std::int64_t now = 1'000'000) : m_now(now) {}
    std::int64_t Now() override { return m_now; }
    void Set(std::int64_t now) { m_now = now; }
    void Advance(std::int64_t seconds = 1) { m_now += seconds; }

private:
    std::int64_t m_now;
};
