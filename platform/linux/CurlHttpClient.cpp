#include "platform/linux/CurlHttpClient.h"

#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/BufferedHttpRequest.h"
#include "platform/HttpTargets.h"

namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

class CCurlHttpSession;

class CCurlHttpRequest : public CBufferedHttpRequest {
public:
    CCurlHttpRequest(CCurlHttpSession& session, std::string url)
        : m_session(session), m_url(std::move(url)) {}
    bool SendRequest() override;

private:
    static size_t OnBody(char* data, size_t size, size_t count, void* self);

    CCurlHttpSession& m_session;
    std::string m_url;
};

class CCurlHttpConnection : public IHttpConnection {
public:
    CCurlHttpConnection(CCurlHttpSession& session, std::string base)
        : m_session(session), m_base(std::move(base)) {}
    std::unique_ptr<IHttpRequest> OpenRequest(const std::string& object) override {
        if (!IsPlainObject(object)) return nullptr;
        return std::make_unique<CCurlHttpRequest>(m_session, m_base + "/" + object);
    }

private:
    CCurlHttpSession& m_session;
    std::string m_base;
};

class CCurlHttpSession : public IHttpSession {
public:
    CCurlHttpSession(EasyHandle handle, const HttpSessionOptions& options, std::string socketPath)
        : m_handle(std::move(handle)), m_options(options), m_socketPath(std::move(socketPath)) {}
    // curl closes the connections it keeps through OnSocketClosing, which
    // needs the socket list: the handle goes first.
    ~CCurlHttpSession() override { m_handle.reset(); }

    std::unique_ptr<IHttpConnection> GetHttpConnection(const std::string& server,
                                                       std::uint16_t port) override {
        if (!IsPlainHost(server)) return nullptr;
        return std::make_unique<CCurlHttpConnection>(
            *this, "http://" + server + ":" + std::to_string(port ? port : 80));
    }

    // A shut-down socket wakes the request that waits on it at once; the
    // progress check alone would take up to a second.
    void Abort() override {
        m_aborted = true;
        std::lock_guard<std::mutex> lock(m_socketsMutex);
        for (curl_socket_t s : m_sockets) ::shutdown(s, SHUT_RDWR);
    }
    bool Aborted() const { return m_aborted; }

    CURL* Handle() const { return m_handle.get(); }
    const HttpSessionOptions& Options() const { return m_options; }
    const std::string& SocketPath() const { return m_socketPath; }

    // The socket callbacks: curl's sockets are known here until closed, so
    // that an abort from another thread can reach them.
    static int OnSocketOpened(void* self, curl_socket_t s, curlsocktype) {
        auto& session = *static_cast<CCurlHttpSession*>(self);
        std::lock_guard<std::mutex> lock(session.m_socketsMutex);
        session.m_sockets.push_back(s);
        return session.m_aborted ? CURL_SOCKOPT_ERROR : CURL_SOCKOPT_OK;
    }
    static int OnSocketClosing(void* self, curl_socket_t s) {
        auto& session = *static_cast<CCurlHttpSession*>(self);
        {
            std::lock_guard<std::mutex> lock(session.m_socketsMutex);
            auto& v = session.m_sockets;
            v.erase(std::remove(v.begin(), v.end(), s), v.end());
        }
        return ::close(s);
    }
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        return static_cast<CCurlHttpSession*>(self)->m_aborted ? 1 : 0;
    }

private:
    EasyHandle m_handle;
    HttpSessionOptions m_options;
    std::string m_socketPath;  // empty: the network
    std::atomic<bool> m_aborted{false};
    std::mutex m_socketsMutex;
    std::vector<curl_socket_t> m_sockets;
};

size_t CCurlHttpRequest::OnBody(char* data, size_t size, size_t count, void* self) {
    auto& request = *static_cast<CCurlHttpRequest*>(self);
    size_t n = size * count;
    // Returning less than n aborts the transfer with a write error.
    if (n > request.m_session.Options().maxBodyBytes - request.m_body.size()) return 0;
    request.m_body.insert(request.m_body.end(), data, data + n);
    return n;
}

bool CCurlHttpRequest::SendRequest() {
    if (Replied() || m_session.Aborted()) return false;
    CURL* h = m_session.Handle();
    const HttpSessionOptions& options = m_session.Options();
    // A reset keeps the handle's live connections, so the next request to
    // the same server can reuse one.
    curl_easy_reset(h);
    // curl's default "Accept: */*" goes; Host and User-Agent remain.
    Slist headers(curl_slist_append(nullptr, "Accept:"));
    if (!headers) return false;
    bool ok =
        curl_easy_setopt(h, CURLOPT_URL, m_url.c_str()) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_USERAGENT, options.agent.c_str()) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, options.totalTimeoutMs) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBodyBytes)) ==
            CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CCurlHttpRequest::OnBody) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_WRITEDATA, this) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CCurlHttpSession::OnProgress) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, &m_session) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_SOCKOPTFUNCTION, &CCurlHttpSession::OnSocketOpened) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_SOCKOPTDATA, &m_session) == CURLE_OK &&
        // Kept after the request: a connection curl keeps is closed through it later.
        curl_easy_setopt(h, CURLOPT_CLOSESOCKETFUNCTION, &CCurlHttpSession::OnSocketClosing) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_CLOSESOCKETDATA, &m_session) == CURLE_OK;
    // The user's own server: its socket alone, never a proxy in between.
    if (ok && !m_session.SocketPath().empty())
        ok = curl_easy_setopt(h, CURLOPT_UNIX_SOCKET_PATH, m_session.SocketPath().c_str()) == CURLE_OK &&
             curl_easy_setopt(h, CURLOPT_PROXY, "") == CURLE_OK;
    if (!ok) return false;
    CURLcode result = curl_easy_perform(h);
    // Nothing of this request may stay behind in the shared handle.
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
    if (result != CURLE_OK) {
        m_body.clear();
        return false;
    }
    long status = 0;
    if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) return false;
    SetReplied(static_cast<std::uint32_t>(status));
    return true;
}

}  // namespace

CCurlHttpClient::CCurlHttpClient(CurlRoute route) : m_route(std::move(route)) {
    m_bGlobalInit = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

CCurlHttpClient::~CCurlHttpClient() {
    if (m_bGlobalInit) curl_global_cleanup();
}

std::unique_ptr<IHttpSession> CCurlHttpClient::OpenSession(const HttpSessionOptions& options) {
    if (m_route.kind == CurlRoute::kNowhere) return nullptr;
    if (m_route.kind == CurlRoute::kUnixSocket && m_route.socketPath.empty()) return nullptr;
    if (!m_bGlobalInit) m_bGlobalInit = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!m_bGlobalInit) return nullptr;
    EasyHandle handle(curl_easy_init());
    if (!handle) return nullptr;
    return std::make_unique<CCurlHttpSession>(
        std::move(handle), options,
        m_route.kind == CurlRoute::kUnixSocket ? m_route.socketPath : std::string{});
}
