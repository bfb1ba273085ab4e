#!/usr/bin/env python3
"""A small HTTP server on 127.0.0.1 for the WinINet client's tests.

  http_test_server.py start DIR   serve in the background; the port goes to DIR/http_port
  http_test_server.py stop DIR    ask the server started for DIR to quit

Routes: /index.php echoes the request target and the user agent; /missing
is 404; /moved redirects; /big sends 100 KiB; /slow waits 3 s before its
body; /hang?ID reads the request and never answers, /arrived?ID says
"yes" once that request has come; /quit ends the server. It also ends by
itself after five minutes.
"""
import http.server
import os
import sys
import threading
import urllib.request


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    hung = set()
    hung_lock = threading.Lock()

    def reply(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        if path == "/index.php":
            text = "target=%s\nagent=%s\n" % (self.path, self.headers.get("User-Agent", ""))
            self.reply(200, text.encode())
        elif path == "/missing":
            self.reply(404, b"not here")
        elif path == "/moved":
            self.reply(302, b"", [("Location", "/index.php?moved=1")])
        elif path == "/big":
            self.reply(200, b"x" * (100 * 1024))
        elif path == "/slow":
            self.send_response(200)
            self.send_header("Content-Length", "4")
            self.end_headers()
            self.wfile.flush()
            threading.Event().wait(3)
            self.wfile.write(b"late")
        elif path == "/hang":
            with self.hung_lock:
                self.hung.add(self.path)
            # Ends with the server; a client that gives up closes the socket.
            threading.Event().wait(300)
        elif path == "/arrived":
            with self.hung_lock:
                arrived = self.path.replace("/arrived", "/hang", 1) in self.hung
            self.reply(200, b"yes" if arrived else b"no")
        elif path == "/quit":
            self.reply(200, b"bye")
            threading.Thread(target=self.server.shutdown).start()
        else:
            self.reply(404, b"")

    def log_message(self, *args):
        pass


def start(folder):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    port_file = os.path.join(folder, "http_port")
    if os.fork() != 0:
        # The parent leaves once the port is known; the child serves.
        server.socket.close()
        return
    os.setsid()
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    threading.Timer(300, server.shutdown).start()
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()
    os.unlink(port_file)
    os._exit(0)


def wait_for_port(folder):
    import time
    port_file = os.path.join(folder, "http_port")
    for _ in range(100):
        if os.path.exists(port_file):
            return
        time.sleep(0.05)
    sys.exit("the server did not start")


def stop(folder):
    port_file = os.path.join(folder, "http_port")
    if not os.path.exists(port_file):
        return
    with open(port_file) as f:
        port = f.read().strip()
    urllib.request.build_opener(urllib.request.ProxyHandler({})).open(
        "http://127.0.0.1:%s/quit" % port, timeout=5).read()


if __name__ == "__main__":
    command, folder = sys.argv[1], sys.argv[2]
    if command == "start":
        port_file = os.path.join(folder, "http_port")
        if os.path.exists(port_file):
            os.unlink(port_file)
        start(folder)
        wait_for_port(folder)
    else:
        stop(folder)
