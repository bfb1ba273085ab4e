#include <gtest/gtest.h>

#include <cstdint>

#include "online/WindowsFolderStamp.h"
#include "tests/fakes/FakeFileSystem.h"

namespace {
constexpr std::int64_t kSunday = 1796565310;  // 2026-12-06 13:55:10 UTC
constexpr std::uint64_t kSundayFileTime = 134410389100000000ull;

TEST(GetWindowsFolderStamp, TakesTheLow31BitsOfTheBirthFileTime) {
    CFakeFileSystem files;
    files.birthTimes["/usr/sbin"] = 1700000000;
    EXPECT_EQ(GetWindowsFolderStamp(files), 1181548544);
    files.birthTimes["/usr/sbin"] = kSunday;
    EXPECT_EQ(GetWindowsFolderStamp(files), static_cast<std::int32_t>(kSundayFileTime & 0x7fffffff));
    files.birthTimes.clear();  // no birth time recorded
    EXPECT_EQ(GetWindowsFolderStamp(files), 0);
    files.birthTimes[""] = kSunday;
    files.windowsDir = "";
    EXPECT_EQ(GetWindowsFolderStamp(files), 0);
}
}  // namespace
