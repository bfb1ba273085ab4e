#include "online/KnowledgeBase.h"

#include <algorithm>

#include "monitor/Process.h"
#include "online/DateText.h"
#include "online/Url.h"
#include "online/UrlEncoding.h"
#include "online/WindowsFolderStamp.h"
#include "platform/FileTime.h"
#include "platform/QueryKeys.h"
#include "res/StringTable.h"

HttpSessionOptions CKnowledgeBase::DefaultSessionOptions() {
    HttpSessionOptions options;
    options.agent = "LDWT Browser";
    options.connectTimeoutMs = 5000;
    options.totalTimeoutMs = 15000;
    options.maxBodyBytes = 4u << 20;
    return options;
}

CKnowledgeBase::CKnowledgeBase(IHttpClient& client, IFileSystem& files, std::string baseUrl,
                               HttpSessionOptions options)
    : m_client(client), m_files(files), m_baseUrl(std::move(baseUrl)), m_options(std::move(options)) {}

CKnowledgeBase::~CKnowledgeBase() = default;

PageQuery QueryOf(const CProcess& r) {
    PageQuery q;
    q.m_strFileName = r.m_strFileName;
    q.m_strFolder = r.m_strFolder;
    q.m_ftCreation = r.m_ftCreation;
    q.facts.m_tFileCreated = r.m_tFileCreated;
    q.facts.m_tFolderCreated = r.m_tFolderCreated;
    q.facts.m_versionStrings = r.m_versionStrings;
    q.facts.m_bSigned = r.m_bSigned;
    q.facts.m_bInWindowsFolder = r.m_bInWindowsFolder;
    return q;
}

std::string CKnowledgeBase::ComposeUrl(const PageQuery& q) {
    const ProgramFacts& f = q.facts;
    std::string query;
    auto add = [&query](QueryKey key, const std::string& value) {
        if (!query.empty()) query += '&';
        query.append(kQueryKeys[key]).append("=").append(value);
    };
    add(kFileNameKey, UrlEncode(q.m_strFileName));
    add(kFolderKey, UrlEncode(q.m_strFolder));
    add(kFileCreatedKey, UrlEncode(FormatDateTime(f.m_tFileCreated)));
    add(kFolderCreatedKey, UrlEncode(FormatDateTime(f.m_tFolderCreated)));
    add(kProcessStartKey, UrlEncode(FormatDateTime(FileTimeToTime(q.m_ftCreation))));
    add(kSignedKey, f.m_bSigned ? "1" : "0");
    add(kInSystemFolderKey, f.m_bInWindowsFolder ? "1" : "0");
    for (const VersionKey& k : kVersionKeys) add(k.queryKey, UrlEncode(f.m_versionStrings.*k.field));
    add(kClientVersionKey, std::string(kVersion));
    add(kFolderStampKey, std::to_string(static_cast<long>(GetWindowsFolderStamp(m_files))));
    return m_baseUrl + query;
}

std::string CKnowledgeBase::ComposeUrl(const CProcess& p) { return ComposeUrl(QueryOf(p)); }

KnowledgeBasePage CKnowledgeBase::FetchPage(const PageQuery& query) {
    KnowledgeBasePage page;
    if (query.m_strFileName.empty()) {
        page.answered = true;
        return page;
    }
    page.html = DownloadText(ComposeUrl(query));
    page.answered = !page.html.empty();
    if (!page.answered) page.html = LoadText(IDS_NO_DATA);
    return page;
}

std::string CKnowledgeBase::DownloadText(const std::string& url) {
    std::optional<std::string> body = HttpGet(url);
    if (!body) return {};
    body->resize(std::min(body->size(), body->find('\0')));
    return std::move(*body);
}

std::optional<std::string> CKnowledgeBase::HttpGet(const std::string& url) {
    UrlParts parts;
    if (!ParseUrl(url, parts)) return std::nullopt;
    std::unique_ptr<IHttpSession> session = TakeSession();
    if (!session) return std::nullopt;
    std::optional<HttpReply> reply = session->Get(parts.host, parts.nPort, parts.object);
    ReturnSession(std::move(session));
    if (!reply || reply->status != 200) return std::nullopt;
    return std::move(reply->body);
}

std::unique_ptr<IHttpSession> CKnowledgeBase::TakeSession() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_aborted) return nullptr;
    std::unique_ptr<IHttpSession> session;
    if (!m_idle.empty()) {
        session = std::move(m_idle.back());
        m_idle.pop_back();
    } else {
        // Under the lock, so that an abort cannot miss a session being made.
        session = m_client.OpenSession(m_options);
        if (!session) return nullptr;
    }
    m_busy.push_back(session.get());
    return session;
}

void CKnowledgeBase::ReturnSession(std::unique_ptr<IHttpSession> session) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_busy.erase(std::find(m_busy.begin(), m_busy.end(), session.get()));
    if (!m_aborted) m_idle.push_back(std::move(session));
}

void CKnowledgeBase::Abort() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_aborted = true;
    for (IHttpSession* session : m_busy) session->Abort();
}
