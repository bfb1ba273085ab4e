#include <gtest/gtest.h>

#include <string>

#include "res/Utf16.h"

namespace {
TEST(ToWideFromUtf8, ConvertsAndRotatesThreeBuffers) {
    const char16_t* a = ToWideFromUtf8("a\xC3\xA9\xF0\x9F\x98\x80");  // a, e-acute, an emoji
    EXPECT_EQ(std::u16string(a), u"a\u00e9\U0001F600");
    const char16_t* b = ToWideFromUtf8("two");
    const char16_t* c = ToWideFromUtf8("three");
    EXPECT_EQ(std::u16string(a), u"a\u00e9\U0001F600");
    const char16_t* d = ToWideFromUtf8("four");
    EXPECT_EQ(d, a) << "the fourth call reuses the first buffer";
    EXPECT_EQ(std::u16string(a), u"four");
    EXPECT_EQ(std::u16string(b), u"two");
    EXPECT_EQ(std::u16string(c), u"three");
}

TEST(ToWideFromUtf8, MalformedAndOversizedInput) {
    EXPECT_EQ(std::u16string(ToWideFromUtf8("x\xFFy")), u"x\uFFFDy");
    EXPECT_EQ(std::u16string(ToWideFromUtf8("\xE2\x82")), u"\uFFFD\uFFFD");  // cut sequence
    EXPECT_EQ(std::u16string(ToWideFromUtf8("\xC0\xAF")), u"\uFFFD\uFFFD");  // overlong slash
    EXPECT_EQ(std::u16string(ToWideFromUtf8(std::string(8191, 'z'))).size(), 8191u);
    EXPECT_EQ(std::u16string(ToWideFromUtf8(std::string(8192, 'z'))), u"");  // no room for the zero
}
}  // namespace
