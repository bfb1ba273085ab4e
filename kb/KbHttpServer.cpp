#include "kb/KbHttpServer.h"

#include <httplib.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "kb/KbService.h"
#include "kb/Page.h"

// httplib keeps its listening socket in a protected member: adopting an
// inherited one means setting it before the accept loop starts.
class CKbHttpServer::CServer : public httplib::Server {
public:
    void AdoptSocket(int fd) {
        // Accepted sockets inherit this; the library sets it only on
        // sockets it creates itself.
        int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        svr_sock_ = fd;
    }
};

namespace {

void SetPage(httplib::Response& res, int status, std::string page) {
    res.status = status;
    // The page is self-contained: nothing may be loaded for it, were it
    // ever opened in a browser.
    res.set_header("Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Cache-Control", "no-store");
    res.set_content(std::move(page), "text/html; charset=utf-8");
}

}  // namespace

CKbHttpServer::CKbHttpServer(CKbService& service, int workers) : m_server(std::make_unique<CServer>()) {
    CServer& s = *m_server;
    s.new_task_queue = [workers] { return new httplib::ThreadPool(static_cast<size_t>(workers)); };
    // The library writes head and body apart: without this, Nagle's
    // algorithm holds the body back for the client's delayed ACK (40 ms).
    s.set_tcp_nodelay(true);
    s.set_keep_alive_max_count(100000);
    s.set_read_timeout(5, 0);
    s.set_write_timeout(5, 0);
    s.set_payload_max_length(64 * 1024);
    s.Get("/index.php", [&service](const httplib::Request& req, httplib::Response& res) {
        KbAnswer answer = service.Answer(req.target);
        SetPage(res, answer.status, std::move(answer.page));
    });
    s.Get(".*", [](const httplib::Request&, httplib::Response& res) {
        SetPage(res, 404, ComposeErrorPage("Not found", "Pages are served at /index.php only."));
    });
    // Whatever the library refuses on its own (other methods, overlong
    // request lines, unparsable requests) still gets a short page.
    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        SetPage(res, res.status, ComposeErrorPage("Bad request", "The server cannot answer this request."));
    });
}

CKbHttpServer::~CKbHttpServer() = default;

bool CKbHttpServer::Bind(const std::string& address, int port) {
    if (port == 0) {
        m_port = m_server->bind_to_any_port(address);
        m_ready = m_port > 0;
        return m_ready;
    }
    if (!m_server->bind_to_port(address, port)) return false;
    m_port = port;
    m_ready = true;
    return true;
}

void CKbHttpServer::Adopt(int listeningFd) {
    m_server->AdoptSocket(listeningFd);
    m_ready = true;
}

bool CKbHttpServer::Serve() { return m_ready && m_server->listen_after_bind(); }

bool CKbHttpServer::IsRunning() const { return m_server->is_running(); }

void CKbHttpServer::Stop() { m_server->stop(); }
