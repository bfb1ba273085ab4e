// The WinINet client under the knowledge base's fetch, against the local
// server that the test fixture starts on the host (http_test_server.py).
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <thread>

#include "online/KnowledgeBase.h"
#include "platform/windows/UniqueHandle.h"
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
        const std::optional<std::string> body = kb.HttpGet(m_base + c.path);
        EXPECT_EQ(body.has_value(), c.ok) << c.path;
        EXPECT_EQ(body.value_or("").size(), c.size) << c.path;
    }
}

TEST_F(WinInetClient, NoServerAndUnsafeTargetsFail) {
    CKnowledgeBase kb(m_client, m_files, m_base + "/");
    EXPECT_FALSE(kb.HttpGet("http://127.0.0.1:1/index.php"));
    // A line break would end the request line and start a header of its own.
    EXPECT_FALSE(kb.HttpGet(m_base + "/index.php?a\r\nX-Injected: 1"));
    EXPECT_TRUE(kb.HttpGet(m_base + "/index.php?after"));  // the session is still good
}

// A request to /hang that the server has received and will never answer;
// `send` runs it on a thread of its own. `abort` comes from this thread
// once the server has it, and must end it long before the session's
// time-out would.
void ExpectAbortEndsHungRequest(const std::string& base, const std::function<bool(const std::string&)>& send,
                                const std::function<void()>& abort) {
    static int serial = 0;
    const std::string id = std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++serial);
    UniqueHandle done(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(done);
    bool ok = true;
    std::thread worker([&] {
        ok = send("hang?" + id);
        ::SetEvent(done.Get());
    });
    CWinInetHttpClient client;
    CWin32FileSystem files;
    CKnowledgeBase probe(client, files, base + "/");
    bool arrived = false;
    for (int i = 0; i < 3000 && !arrived; ++i) {
        arrived = probe.DownloadText(base + "/arrived?" + id) == "yes";
        if (!arrived) ::Sleep(10);
    }
    EXPECT_TRUE(arrived);
    abort();
    // Generous, yet far below the two minutes the time-out would take.
    EXPECT_EQ(::WaitForSingleObject(done.Get(), 30000), WAIT_OBJECT_0);
    worker.join();
    EXPECT_FALSE(ok);
}

HttpSessionOptions PatientOptions() {
    HttpSessionOptions options = CKnowledgeBase::DefaultSessionOptions();
    options.totalTimeoutMs = 120000;
    return options;
}

TEST_F(WinInetClient, AnAbortEndsTheHungRequestAndEveryLaterOneOnTheSession) {
    auto session = m_client.OpenSession(PatientOptions());
    ASSERT_TRUE(session);
    const auto port = static_cast<std::uint16_t>(std::stoi(m_port));
    ExpectAbortEndsHungRequest(
        m_base, [&](const std::string& object) { return session->Get("127.0.0.1", port, object).has_value(); },
        [&] { session->Abort(); });
    // Nothing on the session works again, to the same server or another.
    EXPECT_FALSE(session->Get("127.0.0.1", port, "index.php"));
    EXPECT_FALSE(session->Get("localhost", port, "index.php"));
    session->Abort();  // a second one changes nothing
    session.reset();   // while the abandoned request still runs
    CKnowledgeBase kb(m_client, m_files, m_base + "/");  // other sessions are untouched
    EXPECT_TRUE(kb.HttpGet(m_base + "/index.php?after"));
}

TEST_F(WinInetClient, AKnowledgeBaseAbortEndsItsHungFetchAndLaterOnesFail) {
    CKnowledgeBase kb(m_client, m_files, m_base + "/", PatientOptions());
    ExpectAbortEndsHungRequest(
        m_base, [&](const std::string& object) { return kb.HttpGet(m_base + "/" + object).has_value(); },
        [&] { kb.Abort(); });
    EXPECT_FALSE(kb.HttpGet(m_base + "/index.php?after"));
}

}  // namespace
