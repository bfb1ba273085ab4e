#pragma once
#include "platform/HttpClient.h"

// HTTP over WinINet: one InternetOpen session, a connection per server and
// port, a GET request per call. The system's proxy settings apply. Plain
// http only; redirects are not followed, nothing is cached or stored as a
// cookie, no dialog is ever shown. WinINet knows no whole-request time-out,
// so each blocking call gets what is left of it. Abort closes the session's
// handles, which makes a blocked call return.
class CWinInetHttpClient : public IHttpClient {
public:
    std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions& options) override;
};
