#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "online/DateText.h"
#include "tests/online/TimeZone.h"

namespace {
constexpr std::int64_t kSunday = 1796565310;  // 2026-12-06 13:55:10 UTC

TEST(FormatDateTime, FollowsTheZoneAndTheCLocale) {
    CLocaleAndZone c("C", "UTC0");
    ASSERT_TRUE(c.Ok());
    EXPECT_EQ(FormatDateTime(0), "unknown");  // never learnt, not 1970
    EXPECT_EQ(FormatDateTime(1), "01/01/70 (00:00:01)");
    EXPECT_EQ(FormatDateTime(kSunday), "12/06/26 (13:55:10)");
    // Far beyond any calendar: no date and no time.
    EXPECT_EQ(FormatDateTime(LLONG_MAX), "");
    EXPECT_EQ(FormatDateTime(LLONG_MIN), "");
}

TEST(FormatDateTime, ConvertsToLocalTime) {
    CLocaleAndZone c("C", "CET-1");
    ASSERT_TRUE(c.Ok());
    EXPECT_EQ(FormatDateTime(1), "01/01/70 (01:00:01)");
    EXPECT_EQ(FormatDateTime(kSunday), "12/06/26 (14:55:10)");
}

TEST(FormatDateTime, FollowsAGermanLocale) {
    CLocaleAndZone de("de_DE.UTF-8", "UTC0");
    if (!de.Ok())
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (localedef -i de_DE -f UTF-8 de_DE.UTF-8)";
    EXPECT_EQ(FormatDateTime(kSunday), "06.12.2026 (13:55:10)");
}
}  // namespace
