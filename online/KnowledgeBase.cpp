#include "online/KnowledgeBase.h"

#include <algorithm>

#include "monitor/Process.h"
#include "online/QueryText.h"
#include "online/Url.h"
#include "platform/FileTime.h"
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

std::string CKnowledgeBase::ComposeUrl(const CProcess& p) {
    // fn, p, ct1, ct2, ct3, se, iwf, the seven version strings, v, wd.
    std::string query =
        FormatText("fn=%s&p=%s&ct1=%s&ct2=%s&ct3=%s&se=%li&iwf=%li", UrlEncode(p.m_strFileName).c_str(),
                   UrlEncode(p.m_strFolder).c_str(), UrlEncode(FormatDateTime(p.m_tFileCreated)).c_str(),
                   UrlEncode(FormatDateTime(p.m_tFolderCreated)).c_str(),
                   UrlEncode(FormatDateTime(FileTimeToTime(p.m_ftCreation))).c_str(),
                   static_cast<long>(p.m_bSigned), static_cast<long>(p.m_bInWindowsFolder));
    for (const VersionKey& k : kVersionKeys)
        query += FormatText("&%s=%s", k.queryKey, UrlEncode(p.m_versionStrings.*k.field).c_str());
    query += FormatText("&v=%s&wd=%li", std::string(kVersion).c_str(),
                        static_cast<long>(GetWindowsFolderStamp(m_files)));
    return m_strBaseUrl + query;
}

std::string CKnowledgeBase::DownloadText(const std::string& url) {
    std::vector<std::uint8_t> buffer;
    if (!HttpGet(url, buffer)) return {};
    auto end = std::find(buffer.begin(), buffer.end(), std::uint8_t{0});
    return std::string(buffer.begin(), end);
}

bool CKnowledgeBase::HttpGet(const std::string& url, std::vector<std::uint8_t>& buffer) {
    buffer.clear();
    if (!m_pSession) {
        m_pSession = m_client.OpenSession(m_options);
        if (!m_pSession) return false;
    }
    UrlParts parts;
    if (!ParseUrl(url, parts)) return false;
    if (m_pConnection && (parts.host != m_strLastHost || parts.nPort != m_nLastPort)) m_pConnection.reset();
    if (!m_pConnection) {
        m_pConnection = m_pSession->GetHttpConnection(parts.host, parts.nPort);
        if (!m_pConnection) return false;
    }
    m_strLastHost = parts.host;
    m_nLastPort = parts.nPort;

    std::unique_ptr<IHttpRequest> request = m_pConnection->OpenRequest(parts.object);
    if (!request || !request->SendRequest()) return false;
    std::uint32_t status = 0;
    if (!request->QueryInfoStatusCode(status) || status != 200) return false;

    // Read until the body ends; a body beyond the limit counts as no answer
    // rather than growing without bound.
    for (;;) {
        std::size_t used = buffer.size();
        buffer.resize(used + kReadChunk);
        std::ptrdiff_t n = request->Read(buffer.data() + used, kReadChunk);
        if (n < 0 || static_cast<std::size_t>(n) > kReadChunk) {
            buffer.clear();
            return false;
        }
        buffer.resize(used + static_cast<std::size_t>(n));
        if (buffer.size() > m_options.maxBodyBytes) {
            buffer.clear();
            return false;
        }
        if (n == 0) break;
    }
    return true;
}
