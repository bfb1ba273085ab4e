#include "platform/windows/WinInetHttpClient.h"

#include "platform/BufferedHttpRequest.h"
#include "platform/HttpTargets.h"
#include "platform/windows/Win32.h"
// These build on <windows.h>.
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/windows/InternetHandle.h"

namespace {

bool SetTimeout(HINTERNET handle, DWORD option, ULONGLONG ms) {
    DWORD value = static_cast<DWORD>(std::clamp<ULONGLONG>(ms, 1, 0x7fffffff));
    return ::InternetSetOptionA(handle, option, &value, sizeof value) != FALSE;
}

constexpr DWORD kRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
constexpr DWORD kReadChunk = 8192;

class CWinInetRequest : public CBufferedHttpRequest {
public:
    CWinInetRequest(InternetHandle request, const HttpSessionOptions& options)
        : m_request(std::move(request)), m_options(options) {}

    bool SendRequest() override;

private:
    // The time left of the whole request, given to the next blocking call;
    // false once it is used up.
    bool ArmTimeouts(ULONGLONG deadline) {
        ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        ULONGLONG left = deadline - now;
        HINTERNET h = m_request.Get();
        return SetTimeout(h, INTERNET_OPTION_SEND_TIMEOUT, left) &&
               SetTimeout(h, INTERNET_OPTION_RECEIVE_TIMEOUT, left) &&
               SetTimeout(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, left) &&
               SetTimeout(h, INTERNET_OPTION_CONNECT_TIMEOUT,
                          std::min<ULONGLONG>(left, static_cast<ULONGLONG>(m_options.connectTimeoutMs)));
    }

    InternetHandle m_request;
    const HttpSessionOptions& m_options;
    bool m_bSent = false;
};

bool CWinInetRequest::SendRequest() {
    if (m_bSent) return false;
    m_bSent = true;
    const ULONGLONG deadline =
        ::GetTickCount64() + static_cast<ULONGLONG>(std::max(0L, m_options.totalTimeoutMs));
    if (!ArmTimeouts(deadline) || !::HttpSendRequestA(m_request.Get(), nullptr, 0, nullptr, 0)) return false;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoA(m_request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr))
        return false;
    // The whole body is read here, within the time-out and the size limit,
    // so that a slow or endless reply fails the request as a whole.
    char chunk[kReadChunk];
    for (;;) {
        DWORD read = 0;
        if (!ArmTimeouts(deadline) || !::InternetReadFile(m_request.Get(), chunk, kReadChunk, &read)) {
            m_body.clear();
            return false;
        }
        if (read == 0) break;
        if (read > m_options.maxBodyBytes - m_body.size()) {
            m_body.clear();
            return false;
        }
        m_body.insert(m_body.end(), chunk, chunk + read);
    }
    SetReplied(status);
    return true;
}

class CWinInetConnection : public IHttpConnection {
public:
    CWinInetConnection(InternetHandle connection, const HttpSessionOptions& options)
        : m_connection(std::move(connection)), m_options(options) {}

    std::unique_ptr<IHttpRequest> OpenRequest(const std::string& object) override {
        if (!IsPlainObject(object)) return nullptr;
        const std::string target = "/" + object;
        InternetHandle request(::HttpOpenRequestA(m_connection.Get(), "GET", target.c_str(), nullptr, nullptr,
                                                  nullptr, kRequestFlags, 1));
        if (!request) return nullptr;
        return std::make_unique<CWinInetRequest>(std::move(request), m_options);
    }

private:
    InternetHandle m_connection;
    const HttpSessionOptions& m_options;
};

class CWinInetSession : public IHttpSession {
public:
    CWinInetSession(InternetHandle session, const HttpSessionOptions& options)
        : m_session(std::move(session)), m_options(options) {}

    std::unique_ptr<IHttpConnection> GetHttpConnection(const std::string& server,
                                                       std::uint16_t port) override {
        if (!IsPlainHost(server)) return nullptr;
        InternetHandle connection(::InternetConnectA(m_session.Get(), server.c_str(),
                                                     port ? port : INTERNET_DEFAULT_HTTP_PORT, nullptr,
                                                     nullptr, INTERNET_SERVICE_HTTP, 0, 1));
        if (!connection) return nullptr;
        return std::make_unique<CWinInetConnection>(std::move(connection), m_options);
    }

private:
    InternetHandle m_session;
    HttpSessionOptions m_options;
};

}  // namespace

std::unique_ptr<IHttpSession> CWinInetHttpClient::OpenSession(const HttpSessionOptions& options) {
    InternetHandle session(
        ::InternetOpenA(options.agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return nullptr;
    // One address, one try: the connect time-out is the whole wait.
    DWORD retries = 1;
    ::InternetSetOptionA(session.Get(), INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);
    SetTimeout(session.Get(), INTERNET_OPTION_CONNECT_TIMEOUT,
               static_cast<ULONGLONG>(std::max(0L, options.connectTimeoutMs)));
    return std::make_unique<CWinInetSession>(std::move(session), options);
}
