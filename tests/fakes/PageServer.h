#pragma once
#include <memory>
#include <string>

#include "platform/HttpClient.h"

// A knowledge base whose page names the request, so each program's page differs.
class CPageServer : public IHttpClient {
    struct Session : IHttpSession {
        std::optional<HttpReply> Get(const std::string&, std::uint16_t, const std::string& object) override {
            const auto fn = object.find("fn=");
            return HttpReply{200, "page of " + object.substr(fn + 3, object.find('&', fn) - fn - 3)};
        }
    };

public:
    std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions&) override {
        return std::make_unique<Session>();
    }
};
