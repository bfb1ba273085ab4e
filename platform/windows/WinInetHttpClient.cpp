#include "platform/windows/WinInetHttpClient.h"

#include "platform/HttpTargets.h"
#include "platform/windows/Win32.h"
// These build on <windows.h>.
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "platform/windows/UniqueHandle.h"

namespace {

// A WinINet handle, closed when its last owner lets go. A request's exchange
// owns a share of its parents, so no handle is closed while a call on it or
// on a child may still run: closing one from another thread is how Windows
// cuts a blocked call short, but Wine's WinINet does not wake the call and
// may crash in it.
using InternetHandle = std::shared_ptr<void>;

InternetHandle Own(HINTERNET handle) {
    if (!handle) return nullptr;
    return InternetHandle(handle, [](HINTERNET h) { ::InternetCloseHandle(h); });
}

bool SetTimeout(HINTERNET handle, DWORD option, ULONGLONG ms) {
    DWORD value = static_cast<DWORD>(std::clamp<ULONGLONG>(ms, 1, 0x7fffffff));
    return ::InternetSetOptionA(handle, option, &value, sizeof value) != FALSE;
}

constexpr DWORD kRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
constexpr DWORD kReadChunk = 8192;
// How long past its time-out a request is waited for before it is abandoned.
constexpr long kWaitGraceMs = 2000;

// One request's exchange with the server, on a thread of its own that
// shares it: an abort ends the caller's wait at once, and an abandoned
// exchange ends at its own time-out, owning all it touches.
struct Exchange {
    Exchange(InternetHandle internet_, InternetHandle connection_, std::string target_,
             const HttpSessionOptions& options_)
        : internet(std::move(internet_)),
          connection(std::move(connection_)),
          target(std::move(target_)),
          options(options_),
          done(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

    std::optional<HttpReply> Run();
    // The time left of the whole request, given to the next blocking call;
    // false once it is used up.
    bool ArmTimeouts(ULONGLONG deadline);

    // In this order, so that the request is closed before its parents.
    const InternetHandle internet;
    const InternetHandle connection;
    InternetHandle request;
    const std::string target;
    const HttpSessionOptions options;
    UniqueHandle done;  // set once the reply is in and the request closed
    std::optional<HttpReply> reply;
};

bool Exchange::ArmTimeouts(ULONGLONG deadline) {
    ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    ULONGLONG left = deadline - now;
    HINTERNET h = request.get();
    return SetTimeout(h, INTERNET_OPTION_SEND_TIMEOUT, left) &&
           SetTimeout(h, INTERNET_OPTION_RECEIVE_TIMEOUT, left) &&
           SetTimeout(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, left) &&
           SetTimeout(h, INTERNET_OPTION_CONNECT_TIMEOUT,
                      std::min<ULONGLONG>(left, static_cast<ULONGLONG>(options.connectTimeoutMs)));
}

std::optional<HttpReply> Exchange::Run() {
    const ULONGLONG deadline =
        ::GetTickCount64() + static_cast<ULONGLONG>(std::max(0L, options.totalTimeoutMs));
    request = Own(
        ::HttpOpenRequestA(connection.get(), "GET", target.c_str(), nullptr, nullptr, nullptr, kRequestFlags, 1));
    if (!request || !ArmTimeouts(deadline) || !::HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0))
        return std::nullopt;
    HttpReply got;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr))
        return std::nullopt;
    got.status = status;
    // The whole body is read here, within the time-out and the size limit,
    // so that a slow or endless reply fails the request as a whole.
    char chunk[kReadChunk];
    for (;;) {
        DWORD read = 0;
        if (!ArmTimeouts(deadline) || !::InternetReadFile(request.get(), chunk, kReadChunk, &read))
            return std::nullopt;
        if (read == 0) break;
        if (read > options.maxBodyBytes - got.body.size()) return std::nullopt;
        got.body.append(chunk, read);
    }
    return got;
}

class CWinInetSession : public IHttpSession {
public:
    CWinInetSession(InternetHandle internet, UniqueHandle abortEvent, const HttpSessionOptions& options)
        : m_internet(std::move(internet)), m_abortEvent(std::move(abortEvent)), m_options(options) {}

    std::optional<HttpReply> Get(const std::string& server, std::uint16_t port,
                                 const std::string& object) override;

    void Abort() override {
        m_aborted = true;
        ::SetEvent(m_abortEvent.Get());
    }

private:
    const InternetHandle m_internet;
    const UniqueHandle m_abortEvent;
    const HttpSessionOptions m_options;
    std::atomic<bool> m_aborted{false};
    // The connection to the last request's server and port.
    InternetHandle m_connection;
    std::string m_server;
    std::uint16_t m_port = 0;
};

std::optional<HttpReply> CWinInetSession::Get(const std::string& server, std::uint16_t port,
                                              const std::string& object) {
    if (m_aborted || !IsPlainHost(server) || !IsPlainObject(object)) return std::nullopt;
    if (!m_connection || server != m_server || port != m_port) {
        m_connection = Own(::InternetConnectA(m_internet.get(), server.c_str(),
                                              port ? port : INTERNET_DEFAULT_HTTP_PORT, nullptr, nullptr,
                                              INTERNET_SERVICE_HTTP, 0, 1));
        if (!m_connection) return std::nullopt;
        m_server = server;
        m_port = port;
    }
    auto exchange = std::make_shared<Exchange>(m_internet, m_connection, "/" + object, m_options);
    if (!exchange->done) return std::nullopt;
    try {
        std::thread([exchange] {
            exchange->reply = exchange->Run();
            // Closed before the caller wakes, so that its next request finds
            // the connection free to reuse.
            exchange->request.reset();
            ::SetEvent(exchange->done.Get());
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    // The exchange's own time-outs should end it first; the wait has its own
    // bound all the same, for a WinINet that does not keep them.
    const HANDLE events[] = {exchange->done.Get(), m_abortEvent.Get()};
    const DWORD bound = static_cast<DWORD>(std::clamp<long>(m_options.totalTimeoutMs, 0, 0x7fffffff - kWaitGraceMs));
    if (::WaitForMultipleObjects(2, events, FALSE, bound + kWaitGraceMs) != WAIT_OBJECT_0) return std::nullopt;
    return std::move(exchange->reply);
}

}  // namespace

std::unique_ptr<IHttpSession> CWinInetHttpClient::OpenSession(const HttpSessionOptions& options) {
    InternetHandle internet =
        Own(::InternetOpenA(options.agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    UniqueHandle abortEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!internet || !abortEvent) return nullptr;
    // One address, one try: the connect time-out is the whole wait.
    DWORD retries = 1;
    ::InternetSetOptionA(internet.get(), INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);
    SetTimeout(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT,
               static_cast<ULONGLONG>(std::max(0L, options.connectTimeoutMs)));
    return std::make_unique<CWinInetSession>(std::move(internet), std::move(abortEvent), options);
}
