#include "cli/MetricsServer.h"

#include <httplib.h>
#include <zlib.h>

#include <csignal>

namespace {
// The library compresses text/* only; OpenMetrics pages (the format
// Prometheus prefers) are as large and as repetitive.
bool Gzip(const std::string& in, std::string& out) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&z, in.size()));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
    out.resize(z.total_out);
    deflateEnd(&z);
    return done;
}

bool AcceptsGzip(const std::string& acceptEncoding) {
    return acceptEncoding.find("gzip") != std::string::npos &&
           acceptEncoding.find("gzip;q=0") == std::string::npos;
}
}  // namespace

CMetricsServer::CMetricsServer(Render render) : m_server(std::make_unique<httplib::Server>()) {
    httplib::Server& s = *m_server;
    // Scrapes come seldom and one at a time per scraper.
    s.new_task_queue = [] { return new httplib::ThreadPool(2); };
    s.set_tcp_nodelay(true);
    s.set_read_timeout(5, 0);
    s.set_write_timeout(10, 0);
    s.set_payload_max_length(4096);
    s.Get("/metrics", [render = std::move(render)](const httplib::Request& req, httplib::Response& res) {
        std::string type;
        std::string page = render(req.get_header_value("Accept"), type);
        res.set_header("Cache-Control", "no-store");
        std::string packed;
        if (type.rfind("text/", 0) != 0 && AcceptsGzip(req.get_header_value("Accept-Encoding")) &&
            Gzip(page, packed)) {
            res.set_header("Content-Encoding", "gzip");
            page = std::move(packed);
        }
        res.set_content(std::move(page), type.c_str());
    });
    s.Get(".*", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("Metrics are served at /metrics.\n", "text/plain; charset=utf-8");
    });
}

CMetricsServer::~CMetricsServer() { Stop(); }

bool CMetricsServer::Start(ListenAddress& address) {
    // A scraper that hangs up in the middle of a page must not end us.
    std::signal(SIGPIPE, SIG_IGN);
    if (address.port == 0) {
        const int port = m_server->bind_to_any_port(address.host);
        if (port <= 0) return false;
        address.port = port;
    } else if (!m_server->bind_to_port(address.host, address.port)) {
        return false;
    }
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    return true;
}

void CMetricsServer::Stop() {
    if (!m_thread.joinable()) return;
    m_server->stop();
    m_thread.join();
}
