#pragma once
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "cli/ListenAddress.h"

namespace httplib {
class Server;
}

// A small HTTP server for scrapers: GET /metrics answers with the page the
// callback renders for the request's Accept header; everything else is
// 404. Requests are served on the server's own threads.
class CMetricsServer {
public:
    // Renders a page and names its content type, for an Accept header.
    using Render = std::function<std::string(const std::string& accept, std::string& contentType)>;

    explicit CMetricsServer(Render render);
    ~CMetricsServer();  // stops and joins
    CMetricsServer(const CMetricsServer&) = delete;
    CMetricsServer& operator=(const CMetricsServer&) = delete;

    // Binds and starts serving. false if the address cannot be bound. A
    // port of 0 is replaced by the one the system chose.
    bool Start(ListenAddress& address);
    void Stop();

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
};
