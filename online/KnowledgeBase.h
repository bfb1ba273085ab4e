#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "monitor/ProgramFacts.h"
#include "platform/HttpClient.h"

class CProcess;
class IFileSystem;

// What the knowledge base is asked about one program.
struct PageQuery {
    std::string m_strFileName;
    std::string m_strFolder;
    std::uint64_t m_ftCreation = 0;  // the process start, a FILETIME
    ProgramFacts facts;
};

// The knowledge base's answer for one program.
struct KnowledgeBasePage {
    std::string html;       // the page, or the no-data text
    bool answered = false;  // false: no page came; the next selection asks again
};

// The online knowledge base: composes the query for a program and fetches
// the page. Keeps its HTTP sessions, each with the connection to the last
// server, for its whole life. Safe to call from several threads at once:
// each caller gets a session of its own, kept for the next one.
class CKnowledgeBase {
public:
    // User agent "LDWT Browser", 5 s to connect, 15 s per request at most,
    // replies up to 4 MiB.
    static HttpSessionOptions DefaultSessionOptions();

    // baseUrl: "http://host/index.php?lang=en&", the query is appended to it.
    // client and files must outlive this object.
    CKnowledgeBase(IHttpClient& client, IFileSystem& files, std::string baseUrl,
                   HttpSessionOptions options = DefaultSessionOptions());
    ~CKnowledgeBase();
    CKnowledgeBase(const CKnowledgeBase&) = delete;
    CKnowledgeBase& operator=(const CKnowledgeBase&) = delete;

    const std::string& BaseUrl() const { return m_baseUrl; }

    // The full request URL for what is known about a program file.
    std::string ComposeUrl(const PageQuery& query);
    std::string ComposeUrl(const CProcess& process);

    // The page for the program: one request; no request without a file
    // name (the page is then empty and counts as answered).
    KnowledgeBasePage FetchPage(const PageQuery& query);

    // The reply body up to its first zero byte; empty on any failure.
    std::string DownloadText(const std::string& url);

    // GET of url: the body of a reply with status 200, read whole. The
    // session is kept whatever happens.
    std::optional<std::string> HttpGet(const std::string& url);

    // Ends the requests in flight and fails every later one at once, from
    // any thread: the program is closing.
    void Abort();

private:
    std::unique_ptr<IHttpSession> TakeSession();
    void ReturnSession(std::unique_ptr<IHttpSession> session);

    IHttpClient& m_client;
    IFileSystem& m_files;
    std::string m_baseUrl;
    HttpSessionOptions m_options;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<IHttpSession>> m_idle;
    std::vector<IHttpSession*> m_busy;
    bool m_aborted = false;
};

// The query for what the record knows about its program file.
PageQuery QueryOf(const CProcess& record);

// For the console: fetches record's details page once, into m_strHtml, or
// the no-data text, in which case the next call asks again. Makes no
// request for a record without a path.
void QueryKnowledgeBase(CProcess& record, CKnowledgeBase& knowledgeBase);

// What the kernel says of the program's file, to go before its page: the
// knowledge base only sees the file that lies at the path now. Empty when
// the file is the one the program was started from.
std::string FileNoteOf(const CProcess& record);
