#include "online/KnowledgeBase.h"

#include <algorithm>

#include "monitor/Process.h"
#include "online/QueryText.h"
#include "online/Url.h"
#include "platform/FileTime.h"
#include "platform/QueryKeys.h"
#include "res/StringTable.h"
#include "res/Text.h"

namespace {
constexpr std::size_t kReadChunk = 8192;
}  // namespace

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
    : m_client(client), m_files(files), m_strBaseUrl(std::move(baseUrl)), m_options(std::move(options)) {}

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
    return m_strBaseUrl + query;
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
    std::vector<std::uint8_t> buffer;
    if (!HttpGet(url, buffer)) return {};
    auto end = std::find(buffer.begin(), buffer.end(), std::uint8_t{0});
    return std::string(buffer.begin(), end);
}

bool CKnowledgeBase::HttpGet(const std::string& url, std::vector<std::uint8_t>& buffer) {
    buffer.clear();
    std::unique_ptr<Channel> channel = TakeChannel();
    if (!channel) return false;
    const bool ok = Get(*channel, url, buffer);
    if (!ok) buffer.clear();
    ReturnChannel(std::move(channel));
    return ok;
}

std::unique_ptr<CKnowledgeBase::Channel> CKnowledgeBase::TakeChannel() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bAborted) return nullptr;
    std::unique_ptr<Channel> channel;
    if (!m_idle.empty()) {
        channel = std::move(m_idle.back());
        m_idle.pop_back();
    } else {
        channel = std::make_unique<Channel>();
    }
    if (!channel->session) {
        // Under the lock, so that an abort cannot miss a session being made.
        channel->session = m_client.OpenSession(m_options);
        if (!channel->session) return nullptr;
    }
    m_busy.push_back(channel.get());
    return channel;
}

void CKnowledgeBase::ReturnChannel(std::unique_ptr<Channel> channel) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_busy.erase(std::find(m_busy.begin(), m_busy.end(), channel.get()));
    if (!m_bAborted) m_idle.push_back(std::move(channel));
}

void CKnowledgeBase::Abort() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bAborted = true;
    for (Channel* channel : m_busy) channel->session->Abort();
}

bool CKnowledgeBase::Get(Channel& channel, const std::string& url, std::vector<std::uint8_t>& buffer) {
    UrlParts parts;
    if (!ParseUrl(url, parts)) return false;
    if (channel.connection && (parts.host != channel.lastHost || parts.nPort != channel.lastPort))
        channel.connection.reset();
    if (!channel.connection) {
        channel.connection = channel.session->GetHttpConnection(parts.host, parts.nPort);
        if (!channel.connection) return false;
    }
    channel.lastHost = parts.host;
    channel.lastPort = parts.nPort;

    std::unique_ptr<IHttpRequest> request = channel.connection->OpenRequest(parts.object);
    if (!request || !request->SendRequest()) return false;
    std::uint32_t status = 0;
    if (!request->QueryInfoStatusCode(status) || status != 200) return false;

    // Read until the body ends; a body beyond the limit counts as no answer
    // rather than growing without bound.
    for (;;) {
        std::size_t used = buffer.size();
        buffer.resize(used + kReadChunk);
        std::ptrdiff_t n = request->Read(buffer.data() + used, kReadChunk);
        if (n < 0 || static_cast<std::size_t>(n) > kReadChunk) return false;
        buffer.resize(used + static_cast<std::size_t>(n));
        if (buffer.size() > m_options.maxBodyBytes) return false;
        if (n == 0) break;
    }
    return true;
}
