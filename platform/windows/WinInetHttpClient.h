#pragma once
#include "platform/HttpClient.h"

// HTTP over WinINet: one InternetOpen session, a connection to the last
// request's server and port, a GET request per call. The system's proxy
// settings apply. Plain http only; redirects are not followed, nothing is
// cached or stored as a cookie, no dialog is ever shown. WinINet knows no
// whole-request time-out, so each blocking call gets what is left of it. A
// request runs on a thread of its own while the caller waits for it or for
// Abort; an abandoned request ends at its time-out.
class CWinInetHttpClient : public IHttpClient {
public:
    std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions& options) override;
};
