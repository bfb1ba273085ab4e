// What reaches the page from a query or a local file is text, never markup.
#include <gtest/gtest.h>

#include "res/HtmlText.h"

namespace {

TEST(HtmlText, EscapesMarkupQuotesAndBrokenBytes) {
    struct Case {
        const char* name;
        std::string in, out;
    } cases[] = {
        {"markup", "<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"quotes", "a\"b'c", "a&quot;b&#39;c"},
        {"entity", "&amp;", "&amp;amp;"},
        {"valid UTF-8 kept",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x98\x80",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"lone byte",
         "a\xAE"
         "b",
         "a\xEF\xBF\xBD"
         "b"},
        {"overlong form", "\xC0\xBC", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut sequence", "\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"controls", std::string("a\x01\x1b[31m\x7f\tb\n", 11),
         "a\xEF\xBF\xBD\xEF\xBF\xBD[31m\xEF\xBF\xBD\tb\n"},
        {"C1 controls",
         "a\xC2\x9B"
         "31m\xC2\x85\xC2\x9F\xC2\xA0",
         "a\xEF\xBF\xBD"
         "31m\xEF\xBF\xBD\xEF\xBF\xBD\xC2\xA0"},
        {"bidirectional controls", "exe.\xE2\x80\xAEtxt\xE2\x81\xA6\xE2\x80\x8F\xD8\x9C\xE2\x80\x90",
         "exe.\xEF\xBF\xBDtxt\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xE2\x80\x90"},
    };
    for (const Case& c : cases) EXPECT_EQ(HtmlEscape(c.in), c.out) << c.name;
}

TEST(HtmlText, LinksOnlyToWebAddresses) {
    EXPECT_EQ(SafeLinkTarget("https://example.org/a?b=1&c=\"2\""),
              "https://example.org/a?b=1&amp;c=&quot;2&quot;");
    EXPECT_EQ(SafeLinkTarget("HTTP://example.org"), "HTTP://example.org");
    for (const char* bad :
         {"javascript:alert(1)", "file:///etc/shadow", "http://", "http://a b", "data:text/html,x", ""})
        EXPECT_EQ(SafeLinkTarget(bad), "") << bad;
}

}  // namespace
