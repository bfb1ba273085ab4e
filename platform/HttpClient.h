#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// A minimal HTTP/1.1 client: GET requests on a session, each reply read
// whole into memory within the session's limits. Get runs on the calling
// thread; only Abort may come from another one.

// What a session is created with. The limits keep a silent or endless
// server from freezing the caller or exhausting its memory.
struct HttpSessionOptions {
    std::string agent;                    // User-Agent of every request
    long connectTimeoutMs = 5000;         // to establish a connection
    long totalTimeoutMs = 15000;          // for a whole request, reply included
    std::size_t maxBodyBytes = 4u << 20;  // a longer reply body fails the request
};

// A whole reply. Nothing we ask for depends on a header of the reply, so
// none is kept.
struct HttpReply {
    std::uint32_t status = 0;
    std::string body;
};

class IHttpSession {
public:
    virtual ~IHttpSession() = default;
    // GET of `object` (the request target without its leading "/", query
    // included: "index.php?lang=en") from server:port, port 0 meaning 80,
    // with no header besides Host and User-Agent. server is a host name or an
    // IPv4 address. Requests to the server and port of the last one reuse its
    // connection while the server keeps it open. Nothing on any failure: an
    // unusable server or object, no connection, time-out, malformed reply,
    // body over the limit, an abort.
    virtual std::optional<HttpReply> Get(const std::string& server, std::uint16_t port,
                                         const std::string& object) = 0;
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
