#pragma once
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/HttpClient.h"

// An HTTP client that answers every request with `reply` and records what it
// was asked.
class CFakeHttpClient : public IHttpClient {
public:
    struct Reply {
        bool sent = true;  // SendRequest succeeds
        std::uint32_t status = 200;
        std::string body;
        bool endless = false;  // the body never ends
    };
    Reply reply;
    int failSessions = 0;  // this many OpenSession calls fail first
    int sessionsOpened = 0;
    HttpSessionOptions options;
    std::vector<std::string> connections;  // "host:port" of each one opened
    std::vector<std::string> objects;      // of each request
    std::vector<std::ptrdiff_t> reads;     // each Read's result

    std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions& o) override {
        if (failSessions > 0) {
            --failSessions;
            return nullptr;
        }
        ++sessionsOpened;
        options = o;
        return std::make_unique<Session>(*this);
    }

private:
    struct Request : IHttpRequest {
        explicit Request(CFakeHttpClient& c) : client(c) {}
        bool SendRequest() override { return sent = client.reply.sent; }
        bool QueryInfoStatusCode(std::uint32_t& status) override {
            if (!sent) return false;
            status = client.reply.status;
            return true;
        }
        std::ptrdiff_t Read(void* buffer, std::size_t count) override {
            std::size_t n = count;
            if (client.reply.endless) {
                std::memset(buffer, 'x', n);
            } else {
                n = std::min(count, client.reply.body.size() - pos);
                std::memcpy(buffer, client.reply.body.data() + pos, n);
                pos += n;
            }
            client.reads.push_back(static_cast<std::ptrdiff_t>(n));
            return static_cast<std::ptrdiff_t>(n);
        }
        CFakeHttpClient& client;
        bool sent = false;
        std::size_t pos = 0;
    };
    struct Connection : IHttpConnection {
        explicit Connection(CFakeHttpClient& c) : client(c) {}
        std::unique_ptr<IHttpRequest> OpenRequest(const std::string& object) override {
            client.objects.push_back(object);
            return std::make_unique<Request>(client);
        }
        CFakeHttpClient& client;
    };
    struct Session : IHttpSession {
        explicit Session(CFakeHttpClient& c) : client(c) {}
        std::unique_ptr<IHttpConnection> GetHttpConnection(const std::string& server,
                                                           std::uint16_t port) override {
            client.connections.push_back(server + ":" + std::to_string(port));
            return std::make_unique<Connection>(client);
        }
        CFakeHttpClient& client;
    };
};
