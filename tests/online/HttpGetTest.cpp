#include <gtest/gtest.h>

#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/online/FakeHttpClient.h"

namespace {

constexpr const char kBase[] = "http://kb.test/index.php?lang=en&";

class HttpGetTest : public ::testing::Test {
protected:
    CFakeHttpClient m_client;
    CFakeFileSystem m_files;
    CKnowledgeBase m_kb{m_client, m_files, kBase};
};

TEST_F(HttpGetTest, OnlyABodyOfStatus200IsAPageAndTextEndsAtAZeroByte) {
    const struct {
        bool sent;
        std::uint32_t status;
        std::string body;
        std::optional<std::string> got;
        std::string text;
    } cases[] = {
        {true, 200, "<p>body</p>", "<p>body</p>", "<p>body</p>"},
        {true, 200, "", "", ""},
        {true, 200, std::string("a\0b", 3), std::string("a\0b", 3), "a"},
        {false, 200, "<p>body</p>", std::nullopt, ""},
        {true, 204, "", std::nullopt, ""},
        {true, 302, "<p>moved</p>", std::nullopt, ""},
        {true, 404, "<p>missing</p>", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        m_client.reply = {c.sent, c.status, c.body};
        EXPECT_EQ(m_kb.HttpGet("http://kb.test/x"), c.got);
        EXPECT_EQ(m_kb.DownloadText("http://kb.test/x"), c.text);
    }
}

TEST_F(HttpGetTest, KeepsTheSessionAndAsksNothingOfUnusableUrls) {
    m_client.failSessions = 1;
    EXPECT_FALSE(m_kb.HttpGet("http://kb.test/a"));  // no session yet
    EXPECT_TRUE(m_kb.HttpGet("http://kb.test/a"));   // tried again
    EXPECT_TRUE(m_kb.HttpGet("http://kb.test/b?q=1"));
    EXPECT_FALSE(m_kb.HttpGet("https://kb.test/c"));  // rejected, nothing asked
    m_client.reply.sent = false;
    EXPECT_FALSE(m_kb.HttpGet("http://kb.test:8642/d"));
    m_client.reply.sent = true;
    EXPECT_TRUE(m_kb.HttpGet("http://other.test:8642"));
    EXPECT_EQ(m_client.sessionsOpened, 1);
    EXPECT_EQ(m_client.options.agent, "LDWT Browser");
    EXPECT_EQ(m_client.requests, (std::vector<std::string>{"kb.test:0/a", "kb.test:0/b?q=1", "kb.test:8642/d",
                                                           "other.test:8642/"}));
}

TEST_F(HttpGetTest, QueryWithoutPathAsksNothing) {
    CProcess p;
    p.m_strFileName = "#error1: 12 13";
    QueryKnowledgeBase(p, m_kb);
    EXPECT_TRUE(p.m_bHtmlComposed);
    EXPECT_EQ(p.m_strHtml, "");
    EXPECT_TRUE(m_client.requests.empty());
    EXPECT_EQ(m_client.sessionsOpened, 0);
}

}  // namespace
