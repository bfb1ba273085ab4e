#pragma once
#include <string>

#include "platform/HttpClient.h"

// Where a client's connections go.
struct CurlRoute {
    enum Kind {
        kNetwork,     // to the URL's host and port
        kUnixSocket,  // to socketPath whatever the URL's host: no proxy, no network
        kNowhere,     // nowhere: every request fails
    } kind = kNetwork;
    std::string socketPath;
};

// The user's own server when userSocket is set: through socketPath, or
// nowhere when there is none (never a TCP port instead). Else the network.
inline CurlRoute ChooseCurlRoute(bool userSocket, const std::string& socketPath) {
    if (!userSocket) return {};
    return {socketPath.empty() ? CurlRoute::kNowhere : CurlRoute::kUnixSocket, socketPath};
}

// HTTP over libcurl. A session owns one easy handle for its whole life, so
// requests to the same server and port reuse one connection while the server
// keeps it open. Plain http only; redirects are not followed; on the network
// route the proxy settings of the environment (http_proxy, no_proxy) apply.
class CCurlHttpClient : public IHttpClient {
public:
    explicit CCurlHttpClient(CurlRoute route = {});
    ~CCurlHttpClient() override;
    CCurlHttpClient(const CCurlHttpClient&) = delete;
    CCurlHttpClient& operator=(const CCurlHttpClient&) = delete;

    // Sessions must be destroyed before the client.
    std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions& options) override;

private:
    CurlRoute m_route;
    bool m_globalInit = false;
};
