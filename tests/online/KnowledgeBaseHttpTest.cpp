// The knowledge-base query over libcurl, against servers on 127.0.0.1 that
// the tests start themselves.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

#include "cli/KnowledgeBaseCommand.h"
#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "online/KnowledgeBaseAddress.h"
#include "platform/linux/CurlHttpClient.h"
#include "res/StringTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/online/TimeZone.h"

namespace {

constexpr const char kNoData[] = "No data. Please create a connection to the internet.";

// Answers every GET with the reply it was given and records what it got.
class CRecordingServer {
public:
    struct Request {
        std::string method, target, version, body;
        httplib::Headers headers;
        int remotePort = -1;
    };

    CRecordingServer() {
        m_server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(
                {req.method, req.target, req.version, req.body, req.headers, req.remote_port});
            res.status = m_status;
            res.set_content(m_body, "text/html");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        for (int i = 0; i < 1000 && !m_server.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ~CRecordingServer() {
        m_server.stop();
        m_thread.join();
    }
    int Port() const { return m_port; }
    std::string BaseUrl() const {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/index.php?lang=en&";
    }
    void Reply(int status, std::string body) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_status = status;
        m_body = std::move(body);
    }
    std::vector<Request> Requests() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = -1;
    std::mutex m_mutex;
    std::vector<Request> m_requests;
    int m_status = 200;
    std::string m_body = "<p>page</p>";
};

// A TCP socket on 127.0.0.1 with an ephemeral port; listening, it completes
// handshakes but never reads or answers.
class CSilentSocket {
public:
    explicit CSilentSocket(bool listening) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
            (listening && ::listen(m_fd, 8) != 0))
            return;
        m_port = ntohs(addr.sin_port);
    }
    ~CSilentSocket() {
        Close();
        for (int s : m_accepted) ::close(s);
    }
    void Close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    int Port() const { return m_port; }
    // Waits for the next connection and keeps it open, unanswered.
    void Accept() {
        const int s = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (s >= 0) m_accepted.push_back(s);
    }

private:
    int m_fd = -1;
    int m_port = 0;
    std::vector<int> m_accepted;
};

// One Unix socket in a folder of its own; answers each request on it with
// a fixed page and records the request's head.
class CUnixSocketServer {
public:
    CUnixSocketServer() {
        char pattern[] = "/tmp/lw-kb-route-XXXXXX";
        m_folder = ::mkdtemp(pattern);
        m_path = m_folder + "/kb.sock";
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        m_path.copy(addr.sun_path, sizeof addr.sun_path - 1);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_fd, 8) != 0)
            return;
        m_thread = std::thread([this] { Serve(); });
    }
    ~CUnixSocketServer() {
        ::shutdown(m_fd, SHUT_RDWR);
        if (m_thread.joinable()) m_thread.join();
        ::close(m_fd);
        std::filesystem::remove_all(m_folder);
    }
    const std::string& Path() const { return m_path; }
    std::vector<std::string> Heads() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_heads;
    }

private:
    void Serve() {
        for (int client; (client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            std::string head;
            char buffer[4096];
            for (ssize_t n; head.find("\r\n\r\n") == std::string::npos &&
                            (n = ::recv(client, buffer, sizeof buffer, 0)) > 0;)
                head.append(buffer, static_cast<std::size_t>(n));
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_heads.push_back(head);
            }
            const std::string reply =
                "HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: close\r\n\r\nlocal!";
            ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::close(client);
        }
    }
    std::string m_folder, m_path;
    int m_fd = -1;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_heads;
};

CProcess MakeRecord(const std::string& folder, const std::string& file) {
    CProcess p;
    p.m_strFolder = folder;
    p.m_strFileName = file;
    p.m_strPath = folder + "\\" + file;
    return p;
}

class KnowledgeBaseHttpTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Whatever proxy the machine knows of, loopback goes direct.
        ::setenv("no_proxy", "127.0.0.1,localhost", 1);
        ::setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    }
    HttpSessionOptions Options() {
        HttpSessionOptions o = CKnowledgeBase::DefaultSessionOptions();
        o.connectTimeoutMs = 2000;
        o.totalTimeoutMs = 5000;
        o.maxBodyBytes = 64 * 1024;
        return o;
    }
    CLocaleAndZone m_zone{"C.UTF-8", "UTC0"};
    CFakeFileSystem m_files;
    CCurlHttpClient m_client;
};

TEST_F(KnowledgeBaseHttpTest, SendsThePartsOfTheQueryAsTheServerExpectsThem) {
    CRecordingServer server;
    CKnowledgeBase kb(m_client, m_files, server.BaseUrl(), Options());
    m_files.birthTimes["/usr/sbin"] = 1700000000;
    CProcess p = MakeRecord("C:\\Windows", "notepad.exe");
    p.m_bSigned = true;
    p.m_versionStrings.m_strProductName = "Note Pad";
    p.m_versionStrings.m_strCompanyName = "Caf\xae";
    QueryKnowledgeBase(p, kb);
    EXPECT_EQ(p.m_strHtml, "<p>page</p>");

    std::vector<CRecordingServer::Request> seen = server.Requests();
    ASSERT_EQ(seen.size(), 1u);
    const CRecordingServer::Request& r = seen[0];
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.version, "HTTP/1.1");
    EXPECT_EQ(r.body, "");
    const std::string start = "/index.php?lang=en&fn=notepad%2eexe&p=C%3a%5cWindows&ct1=";
    ASSERT_EQ(r.target.compare(0, start.size(), start), 0) << r.target;

    std::vector<std::string> keys;
    std::map<std::string, std::string> values;
    std::string query = r.target.substr(r.target.find('?') + 1) + "&";
    for (size_t at = 0, amp; (amp = query.find('&', at)) != std::string::npos; at = amp + 1) {
        std::string pair = query.substr(at, amp - at);
        size_t eq = pair.find('=');
        ASSERT_NE(eq, std::string::npos) << pair;
        keys.push_back(pair.substr(0, eq));
        values[keys.back()] = pair.substr(eq + 1);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"lang", "fn", "p", "ct1", "ct2", "ct3", "se", "iwf", "pn", "fv",
                                              "fd", "cn", "lc", "c", "in", "v", "wd"}));
    EXPECT_EQ(values["ct1"], "unknown");  // no birth time known
    EXPECT_EQ(values["se"], "1");
    EXPECT_EQ(values["iwf"], "0");
    EXPECT_EQ(values["pn"], "Note%20Pad");
    EXPECT_EQ(values["cn"], "Caf%ae");
    for (const char* empty : {"fv", "fd", "lc", "c", "in"}) EXPECT_EQ(values[empty], "") << empty;
    EXPECT_EQ(values["v"], "1.13");
    EXPECT_EQ(values["wd"], "1181548544");

    std::set<std::string> names;
    // The server files the peer's addresses among the headers; they never
    // came over the wire.
    const std::set<std::string> own = {"LOCAL_ADDR", "LOCAL_PORT", "REMOTE_ADDR", "REMOTE_PORT"};
    for (const auto& [name, value] : r.headers)
        if (!own.count(name)) names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"Host", "User-Agent"}));
    EXPECT_EQ(r.headers.find("User-Agent")->second, "LDWT Browser");
}

TEST_F(KnowledgeBaseHttpTest, ShowsGoodAnswersOnceAndAsksAgainAfterBadOnes) {
    const std::string page = "<html><body>K\xc3\xa4se \xae\r\n\t</body></html>\n";
    std::string exact(8192, 'a'), over(8193, 'b'), cap(64 * 1024, 'c');
    exact.back() = 'z';
    over.back() = 'z';
    const struct {
        const char* name;
        int status;
        std::string body;
        std::string shown;  // empty: the no-data text
    } cases[] = {
        {"page", 200, page, page},
        {"8192 bytes", 200, exact, exact},
        {"8193 bytes", 200, over, over},
        {"at the size limit", 200, cap, cap},
        {"zero byte", 200, std::string("<p>a\0b</p>", 10), "<p>a"},
        {"not found", 404, "<p>missing</p>", ""},
        {"server error", 500, "<p>oops</p>", ""},
        {"no body", 200, "", ""},
        {"oversized", 200, cap + "d", ""},
    };
    CRecordingServer server;
    CKnowledgeBase kb(m_client, m_files, server.BaseUrl(), Options());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.Reply(c.status, c.body);
        size_t before = server.Requests().size();
        CProcess p = MakeRecord("/opt/x", c.name);
        QueryKnowledgeBase(p, kb);
        QueryKnowledgeBase(p, kb);  // the next selection of the same row
        if (c.shown.empty()) {
            EXPECT_EQ(p.m_strHtml, kNoData);
            EXPECT_FALSE(p.m_bHtmlComposed);
            EXPECT_EQ(server.Requests().size(), before + 2);
        } else {
            EXPECT_EQ(p.m_strHtml, c.shown);
            EXPECT_TRUE(p.m_bHtmlComposed);
            EXPECT_EQ(server.Requests().size(), before + 1);
        }
    }
}

TEST_F(KnowledgeBaseHttpTest, RecoversOnceTheServerAnswers) {
    CRecordingServer server;
    CKnowledgeBase kb(m_client, m_files, server.BaseUrl(), Options());
    CProcess p = MakeRecord("/opt/x", "y");
    server.Reply(503, "busy");
    QueryKnowledgeBase(p, kb);
    EXPECT_EQ(p.m_strHtml, kNoData);
    server.Reply(200, "<p>now</p>");
    QueryKnowledgeBase(p, kb);
    EXPECT_EQ(p.m_strHtml, "<p>now</p>");
    EXPECT_EQ(server.Requests().size(), 2u);
}

// The page says what the kernel said of the program's file: replaced since
// the start (the page describes the file there now), or none at all (no
// request, there is nothing to ask about).
TEST_F(KnowledgeBaseHttpTest, ReplacedAndMissingFilesAreSaidOnThePage) {
    CRecordingServer server;
    CKnowledgeBase kb(m_client, m_files, server.BaseUrl(), Options());
    server.Reply(200, "<p>page</p>");
    CProcess replaced = MakeRecord("/usr/bin", "editor");
    replaced.m_bFileReplaced = true;
    QueryKnowledgeBase(replaced, kb);
    EXPECT_EQ(replaced.m_strHtml, LoadText(IDS_FILE_REPLACED) + "<p>page</p>");
    CProcess memory;
    memory.m_strFileName = "memfd:x";
    memory.m_bNoFile = true;
    QueryKnowledgeBase(memory, kb);
    EXPECT_EQ(memory.m_strHtml, LoadText(IDS_NO_FILE));
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(KnowledgeBaseHttpTest, RefusedConnectionGivesNoData) {
    CSilentSocket closed(false);
    ASSERT_NE(closed.Port(), 0);
    closed.Close();  // nothing listens there now
    CKnowledgeBase kb(m_client, m_files,
                      "http://127.0.0.1:" + std::to_string(closed.Port()) + "/index.php?lang=en&", Options());
    CProcess p = MakeRecord("/opt/x", "y");
    QueryKnowledgeBase(p, kb);
    EXPECT_EQ(p.m_strHtml, kNoData);
    EXPECT_FALSE(p.m_bHtmlComposed);
}

TEST_F(KnowledgeBaseHttpTest, SilentServerIsGivenUpAfterTheTimeOut) {
    CSilentSocket silent(true);
    ASSERT_NE(silent.Port(), 0);
    HttpSessionOptions o = Options();
    o.totalTimeoutMs = 300;
    CKnowledgeBase kb(m_client, m_files,
                      "http://127.0.0.1:" + std::to_string(silent.Port()) + "/index.php?lang=en&", o);
    CProcess p = MakeRecord("/opt/x", "y");
    auto start = std::chrono::steady_clock::now();
    QueryKnowledgeBase(p, kb);
    // Not a speed measure: only that the request ends at all.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(p.m_strHtml, kNoData);
    EXPECT_FALSE(p.m_bHtmlComposed);
}

// The window closing while a question hangs: the waiting request ends at
// once, long before its time-out, and no later one is made.
TEST_F(KnowledgeBaseHttpTest, AbortEndsTheWaitingRequestAndEveryLaterOne) {
    CSilentSocket silent(true);
    ASSERT_NE(silent.Port(), 0);
    HttpSessionOptions o = Options();
    o.totalTimeoutMs = 600'000;
    CKnowledgeBase kb(m_client, m_files,
                      "http://127.0.0.1:" + std::to_string(silent.Port()) + "/index.php?lang=en&", o);
    PageQuery query;
    query.m_strFileName = "y";
    KnowledgeBasePage page;
    auto start = std::chrono::steady_clock::now();
    std::thread worker([&] { page = kb.FetchPage(query); });
    silent.Accept();  // the request is in flight
    kb.Abort();
    worker.join();
    // Not a speed measure: only that it did not wait for its time-out.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    EXPECT_FALSE(page.answered);
    EXPECT_EQ(page.html, kNoData);
    EXPECT_FALSE(kb.FetchPage(query).answered);
}

TEST_F(KnowledgeBaseHttpTest, UnusableBaseUrlsAskNobody) {
    CRecordingServer server;
    const std::string port = std::to_string(server.Port());
    for (const std::string& base : {"https://127.0.0.1:" + port + "/index.php?lang=en&",
                                    "http://127.0.0.1:" + port + "/index.php?lang=en&x=a b&",
                                    "http://127.0.0.1:" + port + "/index.php?lang=en&\r\nX-Evil: 1&",
                                    "http://user@127.0.0.1:" + port + "/index.php?lang=en&"}) {
        SCOPED_TRACE(base);
        CKnowledgeBase kb(m_client, m_files, base, Options());
        CProcess p = MakeRecord("/opt/x", "y");
        QueryKnowledgeBase(p, kb);
        EXPECT_EQ(p.m_strHtml, kNoData);
    }
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(KnowledgeBaseHttpTest, TwoSelectionsShareOneConnection) {
    CRecordingServer server;
    CKnowledgeBase kb(m_client, m_files, server.BaseUrl(), Options());
    CProcess first = MakeRecord("/opt/a", "one");
    CProcess second = MakeRecord("/opt/b", "two");
    QueryKnowledgeBase(first, kb);
    QueryKnowledgeBase(second, kb);
    EXPECT_EQ(second.m_strHtml, "<p>page</p>");
    std::vector<CRecordingServer::Request> seen = server.Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0].target, seen[1].target);
    EXPECT_EQ(seen[0].remotePort, seen[1].remotePort);
}

TEST_F(KnowledgeBaseHttpTest, FollowsTheServerWhenItChanges) {
    CRecordingServer a, b;
    CKnowledgeBase kb(m_client, m_files, a.BaseUrl(), Options());
    a.Reply(200, "A");
    b.Reply(200, "B");
    const std::string urlA = "http://127.0.0.1:" + std::to_string(a.Port()) + "/x";
    const std::string urlB = "http://127.0.0.1:" + std::to_string(b.Port()) + "/x";
    EXPECT_EQ(kb.DownloadText(urlA), "A");
    EXPECT_EQ(kb.DownloadText(urlB), "B");
    EXPECT_EQ(kb.DownloadText(urlA), "A");
    EXPECT_EQ(a.Requests().size(), 2u);
    EXPECT_EQ(b.Requests().size(), 1u);
}

TEST_F(KnowledgeBaseHttpTest, ConsolePrintsTheRequestAndThePage) {
    CRecordingServer server;
    CKnowledgeBase kb(m_client, m_files, server.BaseUrl(), Options());
    CProcess p = MakeRecord("/opt/x", "y");
    const std::string url = kb.ComposeUrl(p);

    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(PrintKnowledgeBasePage(p, kb, out));
    server.Reply(404, "");
    CProcess q = MakeRecord("/opt/x", "z");
    EXPECT_FALSE(PrintKnowledgeBasePage(q, kb, out));
    CProcess none;
    EXPECT_FALSE(PrintKnowledgeBasePage(none, kb, out));
    std::fclose(out);
    std::string printed(text, size);
    std::free(text);
    EXPECT_EQ(printed, "Request: " + url + "\n\n<p>page</p>\n" + "Request: " + kb.ComposeUrl(q) + "\n\n" +
                           kNoData + "\n" + "Request: none (the program file is unknown)\n");
}

TEST(ChooseKnowledgeBaseUrl, PrefersASetEnvironmentValue) {
    EXPECT_EQ(ChooseKnowledgeBaseUrl("http://kb.lan/index.php?lang=en&"), "http://kb.lan/index.php?lang=en&");
    EXPECT_EQ(ChooseKnowledgeBaseUrl(""), "http://localhost:8642/index.php?lang=en&");
    EXPECT_EQ(ChooseKnowledgeBaseUrl(nullptr), "http://localhost:8642/index.php?lang=en&");
}

// A hostile server's page: nothing of it steers the terminal.
TEST_F(KnowledgeBaseHttpTest, ConsoleShowsThePageWithItsControlsEscaped) {
    CRecordingServer server;
    server.Reply(200,
                 "<p>\x1b]0;owned\x07\x1b[2J\xc2\x9b"
                 "31m\xc2\x9d\xe2\x80\xae"
                 "x\\y</p>\r\n<p>two</p>");
    CKnowledgeBase kb(m_client, m_files, server.BaseUrl(), Options());
    CProcess p = MakeRecord("/opt/x", "y");
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(PrintKnowledgeBasePage(p, kb, out));
    std::fclose(out);
    std::string printed(text, size);
    std::free(text);
    for (std::string raw : {"\x1b", "\x07", "\r", "\xc2\x9b", "\xc2\x9d"})
        EXPECT_EQ(printed.find(raw), std::string::npos) << printed;
    EXPECT_NE(printed.find("<p>\\x1b]0;owned\\x07\\x1b[2J\\xc2\\x9b31m\\xc2\\x9d"), std::string::npos)
        << printed;
    EXPECT_NE(printed.find("x\\\\y</p>\n<p>two</p>\n"), std::string::npos) << printed;
}

TEST(ChooseKnowledgeBaseAddress, TheBuiltInAddressIsTheUsersOwnSocket) {
    const std::string builtIn = "http://localhost:8642/index.php?lang=en&";
    struct Case {
        const char* url;
        const char* runtimeDir;
        std::string baseUrl;
        bool userSocket;
        std::string socketPath;
        bool problem;
    } cases[] = {
        {nullptr, "/run/user/1000", builtIn, true, "/run/user/1000/loadwatch/kb.sock", false},
        {"", "/run/user/1000", builtIn, true, "/run/user/1000/loadwatch/kb.sock", false},
        {builtIn.c_str(), "/run/user/1000", builtIn, true, "/run/user/1000/loadwatch/kb.sock", false},
        {nullptr, nullptr, builtIn, true, "", true},
        {nullptr, "relative", builtIn, true, "", true},
        {nullptr, "/run/user/1001", builtIn, true, "", true},  // no such folder
        {"http://kb.lan/index.php?lang=en&", nullptr, "http://kb.lan/index.php?lang=en&", false, "", false},
    };
    CFakeFileSystem files;
    files.entries = {"/run/user/1000"};
    for (const Case& c : cases) {
        KnowledgeBaseAddress a = ChooseKnowledgeBaseAddress(c.url, c.runtimeDir, files);
        const std::string name =
            std::string(c.url ? c.url : "(unset)") + " " + (c.runtimeDir ? c.runtimeDir : "(unset)");
        EXPECT_EQ(a.baseUrl, c.baseUrl) << name;
        EXPECT_EQ(a.userSocket, c.userSocket) << name;
        EXPECT_EQ(a.socketPath, c.socketPath) << name;
        EXPECT_EQ(!a.problem.empty(), c.problem) << name;
    }
}

// The built-in address goes to the socket alone: neither a proxy nor a
// listener on the URL's port hears it; with no socket nothing is asked.
TEST_F(KnowledgeBaseHttpTest, TheUsersOwnRouteUsesItsSocketOnly) {
    CUnixSocketServer local;
    CRecordingServer squatter;
    ::setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(squatter.Port())).c_str(), 1);
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");
    const std::string url = "http://127.0.0.1:" + std::to_string(squatter.Port()) + "/index.php?lang=en&fn=a";
    {
        CCurlHttpClient client(ChooseCurlRoute(true, local.Path()));
        CKnowledgeBase kb(client, m_files, url, Options());
        EXPECT_EQ(kb.DownloadText(url), "local!");
        EXPECT_EQ(kb.DownloadText(url), "local!");
    }
    {
        CCurlHttpClient nowhere(ChooseCurlRoute(true, ""));
        CKnowledgeBase kb(nowhere, m_files, url, Options());
        EXPECT_EQ(kb.DownloadText(url), "");
    }
    ::unsetenv("http_proxy");
    EXPECT_TRUE(squatter.Requests().empty());
    std::vector<std::string> heads = local.Heads();
    ASSERT_EQ(heads.size(), 2u);
    EXPECT_EQ(heads[0].rfind("GET /index.php?lang=en&fn=a HTTP/1.1\r\n", 0), 0u) << heads[0];
}

}  // namespace
