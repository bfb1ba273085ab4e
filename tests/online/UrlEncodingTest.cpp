#include <gtest/gtest.h>

#include <string>

#include "online/UrlEncoding.h"

namespace {
TEST(UrlEncode, KeepsOnlyAsciiLetters) {
    const struct {
        std::string in;
        const char* out;
    } cases[] = {
        {"notepad.exe", "notepad%2eexe"},
        {"C:\\Windows", "C%3a%5cWindows"},
        {"My App", "My%20App"},
        {"\xae", "%ae"},
        {"\xff\x80\x7f", "%ff%80%7f"},
        {"AZaz", "AZaz"},
        {"09-_.~", "%30%39%2d%5f%2e%7e"},
        {"%&=?+#/", "%25%26%3d%3f%2b%23%2f"},
        {std::string("a\0b", 3), "a%00b"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(UrlEncode(c.in), c.out) << c.in;
}
}  // namespace
