#pragma once
#include <string>
#include <vector>

#include "platform/HttpClient.h"

// An HTTP client that answers every request with `reply` and records what it
// was asked.
class CFakeHttpClient : public IHttpClient {
public:
    struct Reply {
        bool sent = true;  // a reply comes at all
        std::uint32_t status = 200;
        std::string body;
    };
    Reply reply;
    int failSessions = 0;  // this many OpenSession calls fail first
    int sessionsOpened = 0;
    HttpSessionOptions options;
    std::vector<std::string> requests;  // "host:port/object" of each one

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
    struct Session : IHttpSession {
        explicit Session(CFakeHttpClient& c) : client(c) {}
        std::optional<HttpReply> Get(const std::string& server, std::uint16_t port,
                                     const std::string& object) override {
            client.requests.push_back(server + ":" + std::to_string(port) + "/" + object);
            if (!client.reply.sent) return std::nullopt;
            return HttpReply{client.reply.status, client.reply.body};
        }
        CFakeHttpClient& client;
    };
};
