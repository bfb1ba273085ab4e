#include <gtest/gtest.h>

#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/online/FakeHttpClient.h"

namespace {

constexpr const char kBase[] = "http://kb.test/index.php?lang=en&";

class HttpGetTest : public ::testing::Test {
protected:
    HttpSessionOptions SmallReplies() {
        HttpSessionOptions o = CKnowledgeBase::DefaultSessionOptions();
        o.maxBodyBytes = 64 * 1024;
        return o;
    }
    CFakeHttpClient m_client;
    CFakeFileSystem m_files;
    CKnowledgeBase m_kb{m_client, m_files, kBase, SmallReplies()};
    std::vector<std::uint8_t> m_buffer;
};

TEST_F(HttpGetTest, ReadsBodiesWholeInChunks) {
    const struct {
        std::size_t size;
        std::vector<std::ptrdiff_t> reads;
    } cases[] = {
        {0, {0}},
        {100, {100, 0}},
        {8192, {8192, 0}},
        {8193, {8192, 1, 0}},
        {64 * 1024, {8192, 8192, 8192, 8192, 8192, 8192, 8192, 8192, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        m_client.reads.clear();
        m_client.reply.body.clear();
        for (std::size_t i = 0; i < c.size; ++i) m_client.reply.body += static_cast<char>('a' + i % 26);
        ASSERT_TRUE(m_kb.HttpGet("http://kb.test/x", m_buffer));
        EXPECT_EQ(std::string(m_buffer.begin(), m_buffer.end()), m_client.reply.body);
        EXPECT_EQ(m_client.reads, c.reads);
    }
}

TEST_F(HttpGetTest, GivesUpOnOversizedAndEndlessBodies) {
    m_client.reply.body.assign(64 * 1024 + 1, 'b');
    EXPECT_FALSE(m_kb.HttpGet("http://kb.test/x", m_buffer));
    EXPECT_TRUE(m_buffer.empty());

    m_client.reads.clear();
    m_client.reply.endless = true;
    EXPECT_FALSE(m_kb.HttpGet("http://kb.test/x", m_buffer));
    EXPECT_TRUE(m_buffer.empty());
    EXPECT_LE(m_client.reads.size(), 9u);
}

TEST_F(HttpGetTest, OnlyStatus200IsAPage) {
    m_client.reply.body = "<p>body</p>";
    for (std::uint32_t status : {100u, 199u, 201u, 204u, 206u, 302u, 304u, 399u, 400u, 404u, 500u}) {
        m_client.reply.status = status;
        EXPECT_FALSE(m_kb.HttpGet("http://kb.test/x", m_buffer)) << status;
        EXPECT_TRUE(m_buffer.empty()) << status;
    }
    m_client.reply.status = 200;
    EXPECT_TRUE(m_kb.HttpGet("http://kb.test/x", m_buffer));
}

TEST_F(HttpGetTest, KeepsSessionAndConnectionWhileTheServerStays) {
    m_client.failSessions = 1;
    EXPECT_FALSE(m_kb.HttpGet("http://kb.test/a", m_buffer));  // no session yet
    EXPECT_TRUE(m_kb.HttpGet("http://kb.test/a", m_buffer));   // tried again
    EXPECT_TRUE(m_kb.HttpGet("http://kb.test/b?q=1", m_buffer));
    EXPECT_FALSE(m_kb.HttpGet("https://kb.test/c", m_buffer));  // rejected, nothing asked
    EXPECT_TRUE(m_kb.HttpGet("http://kb.test:8642/d", m_buffer));
    EXPECT_TRUE(m_kb.HttpGet("http://other.test:8642/e", m_buffer));
    EXPECT_TRUE(m_kb.HttpGet("http://other.test:8642", m_buffer));
    EXPECT_EQ(m_client.sessionsOpened, 1);
    EXPECT_EQ(m_client.options.agent, "LDWT Browser");
    EXPECT_EQ(m_client.connections,
              (std::vector<std::string>{"kb.test:0", "kb.test:8642", "other.test:8642"}));
    EXPECT_EQ(m_client.objects, (std::vector<std::string>{"a", "b?q=1", "d", "e", ""}));
}

TEST_F(HttpGetTest, QueryWithoutPathAsksNothing) {
    CProcess p;
    p.m_strFileName = "#error1: 12 13";
    QueryKnowledgeBase(p, m_kb);
    EXPECT_TRUE(p.m_bHtmlComposed);
    EXPECT_EQ(p.m_strHtml, "");
    EXPECT_TRUE(m_client.objects.empty());
    EXPECT_EQ(m_client.sessionsOpened, 0);
}

}  // namespace
