#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/HttpClient.h"

class CProcess;
class IFileSystem;

// The online knowledge base: composes the query for a program and fetches
// the page. Keeps one HTTP session, and the connection to the last server,
// for its whole life. User-interface thread only.
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

    const std::string& BaseUrl() const { return m_strBaseUrl; }

    // The full request URL for what the record knows about its program file.
    std::string ComposeUrl(const CProcess& process);

    // The reply body up to its first zero byte; empty on any failure.
    std::string DownloadText(const std::string& url);

    // GET of url into buffer: true if a reply with status 200 was read
    // whole. On failure the buffer is empty; the session is kept, and so is
    // the connection unless the server changed.
    bool HttpGet(const std::string& url, std::vector<std::uint8_t>& buffer);

private:
    IHttpClient& m_client;
    IFileSystem& m_files;
    std::string m_strBaseUrl;
    HttpSessionOptions m_options;
    // Declared before the connection, which must go first.
    std::unique_ptr<IHttpSession> m_pSession;
    std::unique_ptr<IHttpConnection> m_pConnection;
    std::string m_strLastHost;
    std::uint16_t m_nLastPort = 0;
};

// Fetches record's details page once: fills m_strHtml with the knowledge
// base's reply, or with the no-data text, in which case the next call asks
// again. Makes no request for a record without a path.
void QueryKnowledgeBase(CProcess& record, CKnowledgeBase& knowledgeBase);
