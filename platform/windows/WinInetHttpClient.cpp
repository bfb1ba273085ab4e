#include "platform/windows/WinInetHttpClient.h"

#include "platform/BufferedHttpRequest.h"
#include "platform/HttpTargets.h"
#include "platform/windows/Win32.h"
// These build on <windows.h>.
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/windows/AbortableInternetHandle.h"

namespace {

bool SetTimeout(HINTERNET handle, DWORD option, ULONGLONG ms) {
    DWORD value = static_cast<DWORD>(std::clamp<ULONGLONG>(ms, 1, 0x7fffffff));
    return ::InternetSetOptionA(handle, option, &value, sizeof value) != FALSE;
}

constexpr DWORD kRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
constexpr DWORD kReadChunk = 8192;

// One request's exchange with the server. It runs on a thread of its own
// that shares it, so that an abort ends the wait for it even where closing
// the handles does not wake the blocked call (Wine): an abandoned exchange
// then ends at its own time-out, owning all it touches.
struct Exchange {
    Exchange(const std::shared_ptr<CInternetHandles>& handles, HINTERNET handle, const HttpSessionOptions& o)
        : request(handles, handle), options(o), done(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

    bool Run();
    // The time left of the whole request, given to the next blocking call;
    // false once it is used up or aborted.
    bool ArmTimeouts(ULONGLONG deadline);

    CAbortableInternetHandle request;
    const HttpSessionOptions options;
    UniqueHandle done;  // set once Run has returned
    bool ok = false;
    DWORD status = 0;
    std::vector<char> body;
};

bool Exchange::ArmTimeouts(ULONGLONG deadline) {
    ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    ULONGLONG left = deadline - now;
    HINTERNET h = request.Get();
    return h && SetTimeout(h, INTERNET_OPTION_SEND_TIMEOUT, left) &&
           SetTimeout(h, INTERNET_OPTION_RECEIVE_TIMEOUT, left) &&
           SetTimeout(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, left) &&
           SetTimeout(h, INTERNET_OPTION_CONNECT_TIMEOUT,
                      std::min<ULONGLONG>(left, static_cast<ULONGLONG>(options.connectTimeoutMs)));
}

bool Exchange::Run() {
    const ULONGLONG deadline =
        ::GetTickCount64() + static_cast<ULONGLONG>(std::max(0L, options.totalTimeoutMs));
    // Each call takes the handle anew: after an abort it is null and the
    // call fails at once.
    if (!ArmTimeouts(deadline) || !::HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0)) return false;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoA(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr))
        return false;
    // The whole body is read here, within the time-out and the size limit,
    // so that a slow or endless reply fails the request as a whole.
    char chunk[kReadChunk];
    for (;;) {
        DWORD read = 0;
        if (!ArmTimeouts(deadline) || !::InternetReadFile(request.Get(), chunk, kReadChunk, &read)) return false;
        if (read == 0) break;
        if (read > options.maxBodyBytes - body.size()) return false;
        body.insert(body.end(), chunk, chunk + read);
    }
    // A close that lands between reads can end the body early: not a reply.
    return !request.Handles()->Aborted();
}

class CWinInetRequest : public CBufferedHttpRequest {
public:
    CWinInetRequest(const std::shared_ptr<CInternetHandles>& handles, HINTERNET request,
                    const HttpSessionOptions& options)
        : m_exchange(std::make_shared<Exchange>(handles, request, options)) {}

    bool Opened() const { return m_exchange->request.Get() != nullptr && m_exchange->done; }
    // The reply is in memory once sent: the handle is closed by then.
    bool SendRequest() override;

private:
    std::shared_ptr<Exchange> m_exchange;
    bool m_bSent = false;
};

bool CWinInetRequest::SendRequest() {
    if (m_bSent) return false;
    m_bSent = true;
    try {
        std::thread([exchange = m_exchange] {
            exchange->ok = exchange->Run();
            // Closed here, before the caller wakes: the thread lets go of the
            // exchange only later, and a late close could hit a handle value
            // the caller's next request has been given since.
            exchange->request.Reset();
            ::SetEvent(exchange->done.Get());
        }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    // The exchange's own time-outs bound this wait.
    const HANDLE events[] = {m_exchange->done.Get(), m_exchange->request.Handles()->AbortEvent()};
    const DWORD count = events[1] ? 2 : 1;
    if (::WaitForMultipleObjects(count, events, FALSE, INFINITE) != WAIT_OBJECT_0 || !m_exchange->ok)
        return false;
    m_body = std::move(m_exchange->body);
    SetReplied(m_exchange->status);
    return true;
}

class CWinInetConnection : public IHttpConnection {
public:
    CWinInetConnection(const std::shared_ptr<CInternetHandles>& handles, HINTERNET connection,
                       const HttpSessionOptions& options)
        : m_connection(handles, connection), m_options(options) {}

    bool Opened() const { return m_connection.Get() != nullptr; }

    std::unique_ptr<IHttpRequest> OpenRequest(const std::string& object) override {
        if (!IsPlainObject(object)) return nullptr;
        const std::string target = "/" + object;
        HINTERNET connection = m_connection.Get();
        if (!connection) return nullptr;
        auto request = std::make_unique<CWinInetRequest>(
            m_connection.Handles(),
            ::HttpOpenRequestA(connection, "GET", target.c_str(), nullptr, nullptr, nullptr, kRequestFlags, 1),
            m_options);
        if (!request->Opened()) return nullptr;
        return request;
    }

private:
    CAbortableInternetHandle m_connection;
    const HttpSessionOptions& m_options;
};

class CWinInetSession : public IHttpSession {
public:
    CWinInetSession(HINTERNET session, const HttpSessionOptions& options)
        : m_session(std::make_shared<CInternetHandles>(), session), m_options(options) {}


    std::unique_ptr<IHttpConnection> GetHttpConnection(const std::string& server,
                                                       std::uint16_t port) override {
        if (!IsPlainHost(server)) return nullptr;
        HINTERNET session = m_session.Get();
        if (!session) return nullptr;
        auto connection = std::make_unique<CWinInetConnection>(
            m_session.Handles(),
            ::InternetConnectA(session, server.c_str(), port ? port : INTERNET_DEFAULT_HTTP_PORT, nullptr,
                               nullptr, INTERNET_SERVICE_HTTP, 0, 1),
            m_options);
        if (!connection->Opened()) return nullptr;
        return connection;
    }

    void Abort() override { m_session.Handles()->Abort(); }

private:
    CAbortableInternetHandle m_session;
    HttpSessionOptions m_options;
};

}  // namespace

std::unique_ptr<IHttpSession> CWinInetHttpClient::OpenSession(const HttpSessionOptions& options) {
    HINTERNET handle = ::InternetOpenA(options.agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!handle) return nullptr;
    // One address, one try: the connect time-out is the whole wait.
    DWORD retries = 1;
    ::InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);
    SetTimeout(handle, INTERNET_OPTION_CONNECT_TIMEOUT,
               static_cast<ULONGLONG>(std::max(0L, options.connectTimeoutMs)));
    return std::make_unique<CWinInetSession>(handle, options);
}
