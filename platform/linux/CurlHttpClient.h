#pragma once
#include "platform/HttpClient.h"

// HTTP over libcurl. A session owns one easy handle for its whole life, so
// requests to the same server and port reuse one connection while the server
// keeps it open. Plain http only; redirects are not followed; the proxy
// settings of the environment (http_proxy, no_proxy) apply.
class CCurlHttpClient : public IHttpClient {
public:
    CCurlHttpClient();
    ~CCurlHttpClient() override;
    CCurlHttpClient(const CCurlHttpClient&) = delete;
    CCurlHttpClient& operator=(const CCurlHttpClient&) = delete;

    // Sessions must be destroyed before the client.
    std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions& options) override;

private:
    bool m_bGlobalInit = false;
};
