#include <gtest/gtest.h>

#include "cli/ListenAddress.h"

namespace {
TEST(ListenAddress, ParsesPortHostAndBracketedIpv6) {
    struct Case {
        const char* text;
        bool ok;
        const char* host;
        int port;
        const char* formatted;
    } const cases[] = {
        {"9464", true, "127.0.0.1", 9464, "127.0.0.1:9464"},
        {"0", true, "127.0.0.1", 0, "127.0.0.1:0"},
        {"0.0.0.0:80", true, "0.0.0.0", 80, "0.0.0.0:80"},
        {"metrics.example:65535", true, "metrics.example", 65535, "metrics.example:65535"},
        {"[::1]:9464", true, "::1", 9464, "[::1]:9464"},
        {"", false, "", 0, ""},
        {"65536", false, "", 0, ""},
        {"host:", false, "", 0, ""},
        {":9464", false, "", 0, ""},
        {"::1:9464", false, "", 0, ""},
        {"[host]:9464", false, "", 0, ""},
        {"9464x", false, "", 0, ""},
        {"-1", false, "", 0, ""},
    };
    for (const Case& c : cases) {
        ListenAddress a;
        ASSERT_EQ(ParseListenAddress(c.text, a), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(a.host, c.host) << c.text;
        EXPECT_EQ(a.port, c.port) << c.text;
        EXPECT_EQ(FormatListenAddress(a), c.formatted) << c.text;
    }
}
}  // namespace
