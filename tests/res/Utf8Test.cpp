#include <gtest/gtest.h>

#include <string>

#include "res/Utf8.h"

namespace {

// Each row breaks (or keeps) one rule of RFC 3629 at the first byte.
TEST(Utf8, ReadsWellFormedSequencesOnly) {
    const struct {
        const char* text;
        std::size_t length;
        char32_t cp;
    } table[] = {
        {"A", 1, U'A'},
        {"\xC3\xA9", 2, 0xE9},
        {"\xE2\x82\xAC", 3, 0x20AC},
        {"\xF0\x9F\x98\x80", 4, 0x1F600},
        {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},  // the last character
        {"\xC0\xAF", 0, 0xFFFD},            // overlong, two bytes
        {"\xE0\x80\xAF", 0, 0xFFFD},        // overlong, three bytes
        {"\xF0\x80\x80\xAF", 0, 0xFFFD},    // overlong, four bytes
        {"\xED\xA0\x80", 0, 0xFFFD},        // a surrogate
        {"\xF4\x90\x80\x80", 0, 0xFFFD},    // past U+10FFFF
        {"\xF5\x80\x80\x80", 0, 0xFFFD},    // a lead byte that starts nothing
        {"\xE2\x82", 0, 0xFFFD},            // cut short
        {"\xE2\x28\xAC", 0, 0xFFFD},        // a broken continuation
        {"\x80", 0, 0xFFFD},                // a stray continuation
    };
    for (const auto& row : table) {
        const std::string text = row.text;
        EXPECT_EQ(Utf8Length(text, 0), row.length) << text;
        std::size_t at = 0;
        EXPECT_EQ(DecodeUtf8(text, at), row.cp) << text;
        EXPECT_EQ(at, row.length == 0 ? 1u : row.length) << text;
        if (row.length == 0) continue;
        std::string again;
        AppendUtf8(again, row.cp);
        EXPECT_EQ(again, text);
    }
}

TEST(Utf8, WritesReplacementForWhatIsNoCharacter) {
    for (char32_t cp : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
        std::string out;
        AppendUtf8(out, cp);
        EXPECT_EQ(out, "\xEF\xBF\xBD") << static_cast<unsigned>(cp);
    }
}

TEST(Utf8, HiddenControlsAreC1AndBidirectional) {
    const std::pair<char32_t, bool> table[] = {
        {0x7F, false},   {0x80, true},   {0x9F, true},    {0xA0, false},   {0x061C, true}, {0x200D, false},
        {0x200E, true},  {0x200F, true}, {0x2028, false}, {0x202A, true},  {0x202E, true}, {0x202F, false},
        {0x2065, false}, {0x2066, true}, {0x2069, true},  {0x206A, false},
    };
    for (const auto& [cp, hidden] : table)
        EXPECT_EQ(IsHiddenControl(cp), hidden) << static_cast<unsigned>(cp);
}

}  // namespace
