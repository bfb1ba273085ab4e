#include <gtest/gtest.h>

#include <utility>

#include "res/PrintableText.h"

namespace {
// What may steer a terminal, break a line or reorder the letters is shown as
// the escapes of its bytes; other text, in any script, stays as it is.
TEST(Printable, EscapesWhatCouldDisguiseAName) {
    const std::pair<const char*, const char*> table[] = {
        {"caf\xc3\xa9 \xe4\xb8\xad", "caf\xc3\xa9 \xe4\xb8\xad"},  // real text: kept
        {"a\\b", "a\\\\b"},                                        // a backslash doubles
        {"evil\x1b[31m\x7f", "evil\\x1b[31m\\x7f"},                // C0 and DEL
        {"line\nbreak", "line\\x0abreak"},
        {"c1\xc2\x9b", "c1\\xc2\\x9b"},                           // C1
        {"rtl\xe2\x80\xaegnp.exe", "rtl\\xe2\\x80\\xaegnp.exe"},  // U+202E
        {"\xe2\x80\xaa\xe2\x81\xa6\xe2\x81\xa9", "\\xe2\\x80\\xaa\\xe2\\x81\\xa6\\xe2\\x81\\xa9"},
        {"\xe2\x80\x8f\xd8\x9c", "\\xe2\\x80\\x8f\\xd8\\x9c"},  // RLM, ALM
        {"p\xe2\x80\xa8q\xe2\x80\xa9", "p\\xe2\\x80\\xa8q\\xe2\\x80\\xa9"},
        {"\xe2\x80\xa7\xe2\x81\xaa", "\xe2\x80\xa7\xe2\x81\xaa"},  // neighbours kept
        {"bad\xff\xc0\xaf", "bad\\xff\\xc0\\xaf"},                 // not UTF-8, overlong
        // Each form RFC 3629 forbids, byte by byte; a valid 4-byte one kept.
        {"\xe0\x80\xaf\xf0\x80\x80\xaf", "\\xe0\\x80\\xaf\\xf0\\x80\\x80\\xaf"},  // overlong
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},                               // surrogate
        {"\xf4\x90\x80\x80\xf5\x80\x80\x80", "\\xf4\\x90\\x80\\x80\\xf5\\x80\\x80\\x80"},  // past U+10FFFF
        {"\xf0\x9f\x98\xc0", "\\xf0\\x9f\\x98\\xc0"},                   // bad last byte
        {"end\xf0\x9f\x98", "end\\xf0\\x9f\\x98"},                         // cut short
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
    };
    for (const auto& [in, out] : table) EXPECT_EQ(Printable(in), out) << in;
}
}  // namespace
