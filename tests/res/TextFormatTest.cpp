#include <gtest/gtest.h>

#include <string>

#include "res/TextFormat.h"

namespace {
TEST(JoinWithComma, DropsEmptyParts) {
    EXPECT_EQ(JoinWithComma("", "Network"), "Network");
    EXPECT_EQ(JoinWithComma("Hard disk", ""), "Hard disk");
    EXPECT_EQ(JoinWithComma("Hard disk", "Network"), "Hard disk, Network");
    EXPECT_EQ(JoinWithComma("", ""), "");
}

TEST(FormatText, LongResultsAreCompleteNotCut) {
    EXPECT_EQ(FormatText("Close program %s - Are you sure?", "x.exe"), "Close program x.exe - Are you sure?");
    EXPECT_EQ(FormatText("#error1: %li %li", 12L, -5L), "#error1: 12 -5");
    EXPECT_EQ(FormatText("%02X%02lx", 10u, 255ul), "0Aff");
    for (size_t n : {8190u, 8191u, 8192u, 100000u}) {
        std::string big(n, 'a');
        std::string out = FormatText("[%s]", big.c_str());
        ASSERT_EQ(out.size(), n + 2);
        EXPECT_EQ(out.back(), ']');
    }
}
}  // namespace
