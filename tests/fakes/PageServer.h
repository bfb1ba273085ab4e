#pragma once
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "platform/HttpClient.h"

// A knowledge base whose page names the request, so each program's page differs.
class CPageServer : public IHttpClient {
    struct Request : IHttpRequest {
        std::string body;
        std::size_t pos = 0;
        bool SendRequest() override { return true; }
        bool QueryInfoStatusCode(std::uint32_t& status) override { return status = 200, true; }
        std::ptrdiff_t Read(void* buffer, std::size_t count) override {
            const std::size_t n = std::min(count, body.size() - pos);
            std::memcpy(buffer, body.data() + pos, n);
            pos += n;
            return static_cast<std::ptrdiff_t>(n);
        }
    };
    struct Connection : IHttpConnection {
        std::unique_ptr<IHttpRequest> OpenRequest(const std::string& object) override {
            auto r = std::make_unique<Request>();
            const auto fn = object.find("fn=");
            r->body = "page of " + object.substr(fn + 3, object.find('&', fn) - fn - 3);
            return r;
        }
    };
    struct Session : IHttpSession {
        std::unique_ptr<IHttpConnection> GetHttpConnection(const std::string&, std::uint16_t) override {
            return std::make_unique<Connection>();
        }
    };

public:
    std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions&) override {
        return std::make_unique<Session>();
    }
};
