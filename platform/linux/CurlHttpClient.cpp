#include "platform/linux/CurlHttpClient.h"

#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

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

// Where a request's body goes while curl reads it.
struct BodySink {
    std::string body;
    std::size_t limit;
};

size_t OnBody(char* data, size_t size, size_t count, void* sink) {
    auto& s = *static_cast<BodySink*>(sink);
    size_t n = size * count;
    // Returning less than n aborts the transfer with a write error.
    if (n > s.limit - s.body.size()) return 0;
    s.body.append(data, n);
    return n;
}

class CCurlHttpSession : public IHttpSession {
public:
    CCurlHttpSession(EasyHandle handle, const HttpSessionOptions& options, std::string socketPath)
        : m_handle(std::move(handle)), m_options(options), m_socketPath(std::move(socketPath)) {}
    // curl closes the connections it keeps through OnSocketClosing, which
    // needs the socket list: the handle goes first.
    ~CCurlHttpSession() override { m_handle.reset(); }

    std::optional<HttpReply> Get(const std::string& server, std::uint16_t port,
                                 const std::string& object) override;

    // A shut-down socket wakes the request that waits on it at once; the
    // progress check alone would take up to a second.
    void Abort() override {
        m_aborted = true;
        std::lock_guard<std::mutex> lock(m_socketsMutex);
        for (curl_socket_t s : m_sockets) ::shutdown(s, SHUT_RDWR);
    }

private:
    bool Prepare(const std::string& url, curl_slist* headers, BodySink& sink);

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

    EasyHandle m_handle;
    HttpSessionOptions m_options;
    std::string m_socketPath;  // empty: the network
    std::atomic<bool> m_aborted{false};
    std::mutex m_socketsMutex;
    std::vector<curl_socket_t> m_sockets;
};

bool CCurlHttpSession::Prepare(const std::string& url, curl_slist* headers, BodySink& sink) {
    CURL* h = m_handle.get();
    bool ok =
        curl_easy_setopt(h, CURLOPT_URL, url.c_str()) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_USERAGENT, m_options.agent.c_str()) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, m_options.connectTimeoutMs) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, m_options.totalTimeoutMs) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_options.maxBodyBytes)) ==
            CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnBody) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, this) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_SOCKOPTFUNCTION, &OnSocketOpened) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_SOCKOPTDATA, this) == CURLE_OK &&
        // Kept after the request: a connection curl keeps is closed through it later.
        curl_easy_setopt(h, CURLOPT_CLOSESOCKETFUNCTION, &OnSocketClosing) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_CLOSESOCKETDATA, this) == CURLE_OK;
    // The user's own server: its socket alone, never a proxy in between.
    if (ok && !m_socketPath.empty())
        ok = curl_easy_setopt(h, CURLOPT_UNIX_SOCKET_PATH, m_socketPath.c_str()) == CURLE_OK &&
             curl_easy_setopt(h, CURLOPT_PROXY, "") == CURLE_OK;
    return ok;
}

std::optional<HttpReply> CCurlHttpSession::Get(const std::string& server, std::uint16_t port,
                                               const std::string& object) {
    if (m_aborted || !IsPlainHost(server) || !IsPlainObject(object)) return std::nullopt;
    // A reset keeps the handle's live connections, so the next request to
    // the same server can reuse one.
    curl_easy_reset(m_handle.get());
    // curl's default "Accept: */*" goes; Host and User-Agent remain.
    Slist headers(curl_slist_append(nullptr, "Accept:"));
    BodySink sink{{}, m_options.maxBodyBytes};
    const std::string url = "http://" + server + ":" + std::to_string(port ? port : 80) + "/" + object;
    if (!headers || !Prepare(url, headers.get(), sink)) return std::nullopt;
    CURLcode result = curl_easy_perform(m_handle.get());
    // Nothing of this request may stay behind in the shared handle.
    curl_easy_setopt(m_handle.get(), CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(m_handle.get(), CURLOPT_WRITEDATA, nullptr);
    long status = 0;
    if (result != CURLE_OK ||
        curl_easy_getinfo(m_handle.get(), CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        return std::nullopt;
    return HttpReply{static_cast<std::uint32_t>(status), std::move(sink.body)};
}

}  // namespace

CCurlHttpClient::CCurlHttpClient(CurlRoute route) : m_route(std::move(route)) {
    m_globalInit = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

CCurlHttpClient::~CCurlHttpClient() {
    if (m_globalInit) curl_global_cleanup();
}

std::unique_ptr<IHttpSession> CCurlHttpClient::OpenSession(const HttpSessionOptions& options) {
    if (m_route.kind == CurlRoute::kNowhere) return nullptr;
    if (m_route.kind == CurlRoute::kUnixSocket && m_route.socketPath.empty()) return nullptr;
    if (!m_globalInit) m_globalInit = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!m_globalInit) return nullptr;
    EasyHandle handle(curl_easy_init());
    if (!handle) return nullptr;
    return std::make_unique<CCurlHttpSession>(
        std::move(handle), options,
        m_route.kind == CurlRoute::kUnixSocket ? m_route.socketPath : std::string{});
}
