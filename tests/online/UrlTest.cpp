#include <gtest/gtest.h>

#include "online/Url.h"

namespace {

struct Accepted {
    const char* url;
    const char* scheme;
    const char* host;
    const char* port;
    std::uint16_t nPort;
    const char* base;
    const char* object;
    const char* path;
    const char* query;
    const char* folder;
    const char* file;
};

TEST(ParseUrl, SplitsAcceptedForms) {
    const Accepted cases[] = {
        {"http://localhost:8642/index.php?lang=en&", "http://", "localhost", "8642", 8642,
         "http://localhost:8642", "index.php?lang=en&", "index.php", "lang=en&", "", "index.php"},
        {"http://kb.example.org/index.php?lang=en&fn=a", "http://", "kb.example.org", "", 0,
         "http://kb.example.org", "index.php?lang=en&fn=a", "index.php", "lang=en&fn=a", "", "index.php"},
        {"ftp://files.example.org:21/pub/tools/x.txt", "ftp://", "files.example.org", "21", 21,
         "ftp://files.example.org:21", "pub/tools/x.txt", "pub/tools/x.txt", "", "pub/tools", "x.txt"},
        {"ftp://files.example.org/a\\b.txt?q", "ftp://", "files.example.org", "", 0,
         "ftp://files.example.org", "a\\b.txt?q", "a\\b.txt", "q", "a", "b.txt"},
        {"http://host", "http://", "host", "", 0, "http://host", "", "", "", "", ""},
        {"http://127.0.0.1:80", "http://", "127.0.0.1", "80", 80, "http://127.0.0.1:80", "", "", "", "", ""},
        // A colon behind the host's slash belongs to the object.
        {"http://host/x.php?t=12:30", "http://", "host", "", 0, "http://host", "x.php?t=12:30", "x.php",
         "t=12:30", "", "x.php"},
    };
    for (const Accepted& c : cases) {
        SCOPED_TRACE(c.url);
        UrlParts p;
        ASSERT_TRUE(ParseUrl(c.url, p));
        EXPECT_EQ(p.scheme, c.scheme);
        EXPECT_EQ(p.host, c.host);
        EXPECT_EQ(p.port, c.port);
        EXPECT_EQ(p.nPort, c.nPort);
        EXPECT_EQ(p.base, c.base);
        EXPECT_EQ(p.object, c.object);
        EXPECT_EQ(p.path, c.path);
        EXPECT_EQ(p.query, c.query);
        EXPECT_EQ(p.folder, c.folder);
        EXPECT_EQ(p.file, c.file);
    }
}

TEST(ParseUrl, RejectsHttpsAndMalformedInput) {
    const char* cases[] = {
        "https://kb.example.org/index.php",  // five-letter scheme
        "",
        "kb.example.org/index.php",
        "mailto:someone@example.org",
        "ab://host/x",   // colon too early
        "http:/host/x",  // one slash
        "http//host/x",  // no colon
        "http:x//host/x",
        "http://",  // no host
        "http:///index.php",
        "http://:8642/index.php",
        "http://host:/index.php",
        "http://host:abc/index.php",
        "http://host:0/index.php",
        "http://host:65536/index.php",
        "http://host:123456/index.php",
    };
    for (const char* url : cases) {
        SCOPED_TRACE(url);
        UrlParts p;
        p.host = "untouched";
        EXPECT_FALSE(ParseUrl(url, p));
        EXPECT_EQ(p.host, "untouched");
    }
}

}  // namespace
