#include "kb/KbHttpServer.h"

#include <microhttpd.h>
#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "kb/KbService.h"
#include "kb/Page.h"

namespace {

using Clock = std::chrono::steady_clock;

// One client connection. Its fields are touched by the event loop that owns
// the connection, and its deadline also by the sweeper, under the mutex.
struct ConnectionState {
    int fd = -1;
    Clock::time_point deadline;  // for the next header to be complete
    bool waitingForHeader = true;
    bool cut = false;
    std::string target;  // the current request's target, as it came
};

ConnectionState* StateOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<ConnectionState*>(info->socket_context) : nullptr;
}

MHD_Result Reply(MHD_Connection* connection, unsigned status, const std::string& page, bool close) {
    MHD_Response* response =
        MHD_create_response_from_buffer(page.size(), const_cast<char*>(page.data()), MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/html; charset=utf-8");
    // The page is self-contained: nothing may be loaded for it, were it
    // ever opened in a browser.
    MHD_add_response_header(response, "Content-Security-Policy",
                            "default-src 'none'; style-src 'unsafe-inline'");
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    if (close) MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
    MHD_Result result = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return result;
}

}  // namespace

class CKbHttpServer::CImpl {
public:
    CImpl(CKbService& service, KbHttpLimits limits) : m_service(service), m_limits(limits) {}
    ~CImpl() { Stop(); }

    bool Start(UniqueFd listener) {
        if (m_daemon || !listener) return false;
        const unsigned idleSeconds = static_cast<unsigned>(
            std::max<long long>(1, std::chrono::ceil<std::chrono::seconds>(m_limits.headerDeadline).count()));
        MHD_OptionItem options[] = {
            {MHD_OPTION_LISTEN_SOCKET, listener.Get(), nullptr},
            {MHD_OPTION_CONNECTION_MEMORY_LIMIT, static_cast<intptr_t>(m_limits.connectionMemory), nullptr},
            // No blanks in a target, a Host header in every HTTP/1.1 request.
            {MHD_OPTION_STRICT_FOR_CLIENT, 1, nullptr},
            {MHD_OPTION_CONNECTION_LIMIT, static_cast<intptr_t>(m_limits.maxConnections), nullptr},
            // A client that stops reading its reply: the deadline covers
            // only the way in.
            {MHD_OPTION_CONNECTION_TIMEOUT, static_cast<intptr_t>(idleSeconds), nullptr},
            {MHD_OPTION_NOTIFY_CONNECTION, reinterpret_cast<intptr_t>(&CImpl::OnConnection), this},
            {MHD_OPTION_URI_LOG_CALLBACK, reinterpret_cast<intptr_t>(&CImpl::OnRequestLine), this},
            {MHD_OPTION_NOTIFY_COMPLETED, reinterpret_cast<intptr_t>(&CImpl::OnCompleted), this},
            {m_limits.threads > 1 ? MHD_OPTION_THREAD_POOL_SIZE : MHD_OPTION_END,
             static_cast<intptr_t>(m_limits.threads), nullptr},
            {MHD_OPTION_END, 0, nullptr},
        };
        {
            std::lock_guard lock(m_mutex);
            m_stopping = false;
        }
        m_daemon =
            MHD_start_daemon(MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_TURBO, 0, nullptr,
                             nullptr, &CImpl::OnRequest, this, MHD_OPTION_ARRAY, options, MHD_OPTION_END);
        if (!m_daemon) return false;
        listener.Release();  // the daemon closes it when it stops
        m_sweeper = std::thread([this] { Sweep(); });
        return true;
    }

    void Stop() {
        if (!m_daemon) return;
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_sweeper.join();
        MHD_stop_daemon(m_daemon);
        m_daemon = nullptr;
    }

private:
    static void OnConnection(void* self, MHD_Connection* connection, void** context,
                             MHD_ConnectionNotificationCode event) {
        auto& impl = *static_cast<CImpl*>(self);
        std::lock_guard lock(impl.m_mutex);
        if (event == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* info =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            auto state = std::make_unique<ConnectionState>();
            state->fd = info ? info->connect_fd : -1;
            state->deadline = Clock::now() + impl.m_limits.headerDeadline;
            *context = state.get();
            impl.m_connections.emplace(state.get(), std::move(state));
        } else if (auto* state = static_cast<ConnectionState*>(*context)) {
            // Still before the library closes the descriptor: the sweeper,
            // which holds the same mutex, never touches a reused one.
            impl.m_connections.erase(state);
            *context = nullptr;
        }
    }

    static void* OnRequestLine(void*, const char* target, MHD_Connection* connection) {
        // The raw target, before the library splits and decodes it: the
        // service parses the query itself, strictly.
        if (ConnectionState* state = StateOf(connection)) state->target.assign(target);
        return nullptr;
    }

    static void OnCompleted(void* self, MHD_Connection* connection, void**, MHD_RequestTerminationCode) {
        auto& impl = *static_cast<CImpl*>(self);
        ConnectionState* state = StateOf(connection);
        if (!state) return;
        std::lock_guard lock(impl.m_mutex);
        state->target.clear();
        state->waitingForHeader = true;
        state->deadline = Clock::now() + impl.m_limits.headerDeadline;
    }

    // Called when the header is complete, then once per piece of a body,
    // then once more at its end. An answer queued before that end makes the
    // library close the connection after it, which suits refusals only.
    static MHD_Result OnRequest(void* self, MHD_Connection* connection, const char*, const char* method,
                                const char*, const char*, std::size_t* bodyBytes, void** request) {
        auto& impl = *static_cast<CImpl*>(self);
        ConnectionState* state = StateOf(connection);
        if (!state) return MHD_NO;
        if (!*request) {
            *request = &impl;
            {
                std::lock_guard lock(impl.m_mutex);
                state->waitingForHeader = false;
            }
            return impl.Refuse(connection, method, *state);
        }
        if (*bodyBytes != 0) {
            *bodyBytes = 0;  // a GET's body has no meaning here
            return MHD_YES;
        }
        return impl.Answer(connection, *state);
    }

    // A refusal for what breaks a limit or is no question of ours; MHD_YES
    // to let the request go on.
    MHD_Result Refuse(MHD_Connection* connection, std::string_view method, const ConnectionState& state) {
        if (state.target.size() > m_limits.maxTargetBytes)
            return Reply(connection, MHD_HTTP_URI_TOO_LONG,
                         ComposeErrorPage("Request too long", "The request line is too long."), true);
        const MHD_ConnectionInfo* size =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_REQUEST_HEADER_SIZE);
        const int lines = MHD_get_connection_values(connection, MHD_HEADER_KIND, nullptr, nullptr);
        if ((size && size->header_size > m_limits.maxHeaderBytes) || lines < 0 ||
            static_cast<std::size_t>(lines) > m_limits.maxHeaderLines)
            return Reply(connection, MHD_HTTP_REQUEST_HEADER_FIELDS_TOO_LARGE,
                         ComposeErrorPage("Request too large", "The request's header is too large."), true);
        if (method != MHD_HTTP_METHOD_GET && method != MHD_HTTP_METHOD_HEAD)
            return Reply(connection, MHD_HTTP_METHOD_NOT_ALLOWED,
                         ComposeErrorPage("Bad request", "The server answers GET requests only."), true);
        const char* length =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        if ((length && std::string_view(length) != "0") ||
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING))
            return Reply(connection, MHD_HTTP_BAD_REQUEST,
                         ComposeErrorPage("Bad request", "A question carries no body."), true);
        return MHD_YES;
    }

    MHD_Result Answer(MHD_Connection* connection, const ConnectionState& state) {
        std::string_view path = std::string_view(state.target).substr(0, state.target.find('?'));
        if (path != "/index.php")
            return Reply(connection, MHD_HTTP_NOT_FOUND,
                         ComposeErrorPage("Not found", "Pages are served at /index.php only."), false);
        KbAnswer answer = m_service.Answer(state.target);
        return Reply(connection, static_cast<unsigned>(answer.status), answer.page, false);
    }

    // Closes the connections whose header is overdue. shutdown, not close:
    // the descriptor stays the library's, which then sees the end and
    // cleans up in its own thread.
    void Sweep() {
        std::unique_lock lock(m_mutex);
        while (!m_stopping) {
            m_wake.wait_for(lock, std::chrono::milliseconds(250));
            const Clock::time_point now = Clock::now();
            for (auto& entry : m_connections) {
                ConnectionState& state = *entry.second;
                if (state.waitingForHeader && !state.cut && state.fd >= 0 && now >= state.deadline) {
                    ::shutdown(state.fd, SHUT_RDWR);
                    state.cut = true;
                }
            }
        }
    }

    CKbService& m_service;
    KbHttpLimits m_limits;
    MHD_Daemon* m_daemon = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::unordered_map<ConnectionState*, std::unique_ptr<ConnectionState>> m_connections;
    std::thread m_sweeper;
};

CKbHttpServer::CKbHttpServer(CKbService& service, KbHttpLimits limits)
    : m_impl(std::make_unique<CImpl>(service, limits)) {}

CKbHttpServer::~CKbHttpServer() = default;

bool CKbHttpServer::Start(UniqueFd listener) { return m_impl->Start(std::move(listener)); }

void CKbHttpServer::Stop() { m_impl->Stop(); }
