#include <gtest/gtest.h>

#include <string>

#include "res/CaseInsensitive.h"

namespace {
TEST(EqualsNoCase, FoldsAsciiOnly) {
    EXPECT_TRUE(EqualsNoCase("/USR/Bin", "/usr/bin"));
    EXPECT_FALSE(EqualsNoCase("/usr/bin/", "/usr/bin"));
    EXPECT_FALSE(EqualsNoCase("\xC3\x89", "\xC3\xA9"));
}

TEST(FindNoCase, FoldsAsciiOnly) {
    EXPECT_EQ(FindNoCase("abcABC", "CA"), 2u);
    EXPECT_EQ(FindNoCase("abc", "abcd"), std::string::npos);
    EXPECT_EQ(FindNoCase("x\xC3\x89", "\xC3\xA9"), std::string::npos);
}
}  // namespace
