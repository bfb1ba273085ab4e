// The WinINet client under the knowledge base's fetch, against the local
// server that the test fixture starts on the host (http_test_server.py).
#include <gtest/gtest.h>

#include <fstream>

#include "online/KnowledgeBase.h"
#include "platform/windows/Win32FileSystem.h"
#include "platform/windows/WinInetHttpClient.h"
#include "tests/windows/ChildProcess.h"

namespace {

class WinInetClient : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream(ChildProcess::BesideTest("http_port")) >> m_port;
        if (m_port.empty()) GTEST_SKIP() << "no test server (ctest starts it)";
        m_base = "http://127.0.0.1:" + m_port;
    }
    std::string m_port;
    std::string m_base;
    CWinInetHttpClient m_client;
    CWin32FileSystem m_files;
};

TEST_F(WinInetClient, SendsTheRequestAsGivenWithTheAgentAndReusesTheSession) {
    CKnowledgeBase kb(m_client, m_files, m_base + "/index.php?lang=en&");
    for (const char* query : {"fn=notepad%2eexe&p=C%3a%5cWindows", "fn=second"}) {
        const std::string page = kb.DownloadText(kb.BaseUrl() + query);
        EXPECT_EQ(page, "target=/index.php?lang=en&" + std::string(query) + "\nagent=LDWT Browser\n");
    }
}

TEST_F(WinInetClient, OnlyAWholeStatus200ReplyWithinTheLimitsCounts) {
    HttpSessionOptions small = CKnowledgeBase::DefaultSessionOptions();
    small.maxBodyBytes = 64 * 1024;
    small.totalTimeoutMs = 1000;
    struct Case {
        const char* path;
        bool smallLimits;
        bool ok;
        std::size_t size;
    };
    const Case cases[] = {
        {"/big", false, true, 100 * 1024}, {"/big", true, false, 0},   // over the size limit
        {"/missing", false, false, 0},                                 // 404
        {"/moved", false, false, 0},                                   // a redirect is not followed
        {"/slow", false, true, 4},         {"/slow", true, false, 0},  // the body comes after the time-out
    };
    for (const Case& c : cases) {
        CKnowledgeBase kb(m_client, m_files, m_base + "/",
                          c.smallLimits ? small : CKnowledgeBase::DefaultSessionOptions());
        std::vector<std::uint8_t> body;
        EXPECT_EQ(kb.HttpGet(m_base + c.path, body), c.ok) << c.path;
        EXPECT_EQ(body.size(), c.size) << c.path;
    }
}

TEST_F(WinInetClient, NoServerAndUnsafeTargetsFail) {
    CKnowledgeBase kb(m_client, m_files, m_base + "/");
    std::vector<std::uint8_t> body;
    EXPECT_FALSE(kb.HttpGet("http://127.0.0.1:1/index.php", body));
    // A line break would end the request line and start a header of its own.
    EXPECT_FALSE(kb.HttpGet(m_base + "/index.php?a\r\nX-Injected: 1", body));
    EXPECT_TRUE(kb.HttpGet(m_base + "/index.php?after", body));  // the session is still good
}

}  // namespace
