#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A minimal HTTP/1.1 client: one session, connections to one server each,
// GET requests on a connection. Everything is synchronous and runs on the
// calling thread; only IHttpSession::Abort may come from another one. Lifetimes nest: a connection must not outlive its session,
// nor a request its connection.

// What a session is created with. The limits keep a silent or endless
// server from freezing the caller or exhausting its memory.
struct HttpSessionOptions {
    std::string agent;                    // User-Agent of every request
    long connectTimeoutMs = 5000;         // to establish a connection
    long totalTimeoutMs = 15000;          // for a whole request, reply included
    std::size_t maxBodyBytes = 4u << 20;  // a longer reply body fails the request
};

// One GET request. Call SendRequest once, then QueryInfoStatusCode, then
// Read until it returns 0.
class IHttpRequest {
public:
    virtual ~IHttpRequest() = default;
    // Sends the request (no header besides Host and User-Agent, no body) and
    // waits for the reply within the session's time-outs. false on any
    // failure: no connection, time-out, malformed reply, body over the limit.
    virtual bool SendRequest() = 0;
    // Status code of the reply; false if no reply has been received.
    virtual bool QueryInfoStatusCode(std::uint32_t& status) = 0;
    // Copies up to `count` bytes of the reply body into `buffer` and returns
    // how many; fewer than `count` only at the end of the body, 0 once it is
    // all read, -1 on failure.
    virtual std::ptrdiff_t Read(void* buffer, std::size_t count) = 0;
};

// A connection to one server and port. Opening it does not yet touch the
// network; requests on it reuse one transport connection while the server
// keeps it open.
class IHttpConnection {
public:
    virtual ~IHttpConnection() = default;
    // A GET of `object`: the request target without its leading "/", query
    // included ("index.php?lang=en"). Null on failure.
    virtual std::unique_ptr<IHttpRequest> OpenRequest(const std::string& object) = 0;
};

class IHttpSession {
public:
    virtual ~IHttpSession() = default;
    // server: a host name or an IPv4 address; port 0 means 80. Null on
    // failure (an unusable host name, for instance).
    virtual std::unique_ptr<IHttpConnection> GetHttpConnection(const std::string& server,
                                                               std::uint16_t port) = 0;
    // From any thread: the request in flight on this session fails soon,
    // and so does every later one. A client without a way to cut a request
    // short leaves it to the session's time-outs.
    virtual void Abort() {}
};

class IHttpClient {
public:
    virtual ~IHttpClient() = default;
    // Null if no session can be made now; a later call may succeed.
    virtual std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions& options) = 0;
};
