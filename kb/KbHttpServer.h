#pragma once
#include <memory>
#include <string>

class CKbService;

// The service over HTTP (cpp-httplib): GET /index.php answers with the
// service's page, anything else with a short error page. Each connection
// holds one worker while it is open, so the pool bounds the connections
// served at once.
class CKbHttpServer {
public:
    explicit CKbHttpServer(CKbService& service, int workers = 16);
    CKbHttpServer(const CKbHttpServer&) = delete;
    CKbHttpServer& operator=(const CKbHttpServer&) = delete;
    ~CKbHttpServer();

    // Binds address:port (port 0: any free one); false if that fails.
    bool Bind(const std::string& address, int port);
    // Takes over a socket that is already listening (socket activation);
    // the server owns and closes it from now on.
    void Adopt(int listeningFd);
    int Port() const { return m_port; }

    // Serves until Stop; false if nothing was bound or adopted.
    bool Serve();
    bool IsRunning() const;
    // From any other thread; has no effect before Serve runs.
    void Stop();

private:
    class CServer;
    std::unique_ptr<CServer> m_server;
    int m_port = -1;
    bool m_ready = false;
};
