#pragma once
#include <chrono>
#include <cstddef>
#include <memory>

#include "platform/linux/UniqueFd.h"

class CKbService;

// What one client may cost the server. A client past a limit gets a short
// error page and its connection closed; the others are not held up.
struct KbHttpLimits {
    // From a connection's start, or from its previous reply, to the end of
    // the next request's header: a slow or idle client is dropped then.
    std::chrono::milliseconds headerDeadline{10000};
    std::size_t maxTargetBytes = 8 * 1024;     // a longer request line: 414
    std::size_t maxHeaderBytes = 12 * 1024;    // request line and header: 431
    std::size_t maxHeaderLines = 100;          // 431
    std::size_t connectionMemory = 16 * 1024;  // all a connection may buffer
    unsigned maxConnections = 4000;            // beyond them new ones are closed at once (64 MiB of buffers)
    unsigned threads = 2;                      // event loops, each serving many connections
};

// The service over HTTP (libmicrohttpd, event-driven): GET /index.php
// answers with the service's page, anything else with a short error page.
// Pipelined requests are answered in order. Serves one listening socket,
// TCP or Unix, from Start until Stop or destruction.
class CKbHttpServer {
public:
    explicit CKbHttpServer(CKbService& service, KbHttpLimits limits = {});
    CKbHttpServer(const CKbHttpServer&) = delete;
    CKbHttpServer& operator=(const CKbHttpServer&) = delete;
    ~CKbHttpServer();

    // Takes over a listening socket and serves it on threads of its own;
    // false if the server could not start (the socket is then closed).
    bool Start(UniqueFd listener);
    // Closes the listening socket and every connection, waits for the threads.
    void Stop();

private:
    class CImpl;
    std::unique_ptr<CImpl> m_impl;
};
