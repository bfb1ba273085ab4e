#!/usr/bin/python3
"""Hostile clients against loadwatch-kb on TCP, on 127.0.0.1 only: 300
slow-header connections, four floods of 400,000 header lines, 1,000
simultaneous connections, 20 pipelined requests. Meanwhile a normal client
asks every 100 ms. Checks that the normal client is always answered, that
slow connections are dropped at the header deadline, that floods are
refused, that every burst and pipelined request is answered, that memory
stays bounded and that the server's descriptors return to their count.

Timings are reported; with --strict they are held to the goals (a normal
request within 0.5 s, a burst request within 5 s), as in a benchmark.
Everything is bounded: about 40 s, at most 300 s, then it stops by itself.

Usage: kb_hostile_clients.py KB_SERVER [--strict] [--no-memory-limit]
"""
import argparse
import os
import re
import resource
import selectors
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

TARGET = ("/index.php?lang=en&fn=bash&p=%2fusr%2fbin&ct1=&ct2=&ct3=&se=1&iwf=1"
          "&pn=&fv=&fd=&cn=&lc=&c=&in=&v=1%2e13&wd=1")
REQUEST = ("GET " + TARGET + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: LDWT Browser\r\n\r\n").encode()
HEADER_DEADLINE = 10.0  # the server's
MEMORY_LIMIT_KB = 150 * 1024

failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message, flush=True)


def read_replies(sock, count, timeout):
    """Statuses of up to count replies read from sock within timeout."""
    deadline = time.monotonic() + timeout
    data, statuses = b"", []
    while len(statuses) < count:
        end = data.find(b"\r\n\r\n")
        if end >= 0:
            head = data[:end].decode("latin-1")
            match = re.search(r"(?im)^content-length:\s*(\d+)", head)
            length = int(match.group(1)) if match else 0
            if len(data) >= end + 4 + length:
                statuses.append(int(head.split()[1]))
                data = data[end + 4 + length:]
                continue
        left = deadline - time.monotonic()
        if left <= 0:
            break
        sock.settimeout(left)
        try:
            chunk = sock.recv(65536)
        except OSError:
            break
        if not chunk:
            break
        data += chunk
    return statuses


def connect(port):
    return socket.create_connection(("127.0.0.1", port), timeout=10)


class Server:
    def __init__(self, path, root):
        self.process = subprocess.Popen([path, "--listen", "127.0.0.1:0", "--facts-root", root],
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        line = self.process.stdout.readline().decode()
        match = re.search(r"listening on 127\.0\.0\.1:(\d+)", line)
        if not match:
            raise SystemExit("FAIL: server did not start: " + line)
        self.port = int(match.group(1))
        self.pid = self.process.pid

    def fds(self):
        return len(os.listdir("/proc/%d/fd" % self.pid))

    def rss_kb(self):
        with open("/proc/%d/status" % self.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=30)


class Prober(threading.Thread):
    """The normal client: one request every 100 ms, each on a new connection."""

    def __init__(self, server, timeout):
        super().__init__(daemon=True)
        self.server, self.timeout = server, timeout
        self.stopping = threading.Event()
        self.latencies, self.unanswered, self.max_rss_kb = [], 0, 0

    def run(self):
        while not self.stopping.is_set():
            started = time.monotonic()
            try:
                with connect(self.server.port) as sock:
                    sock.sendall(REQUEST.replace(b"\r\n\r\n", b"\r\nConnection: close\r\n\r\n"))
                    ok = read_replies(sock, 1, self.timeout) == [200]
            except OSError:
                ok = False
            if ok:
                self.latencies.append(time.monotonic() - started)
            else:
                self.unanswered += 1
            self.max_rss_kb = max(self.max_rss_kb, self.server.rss_kb())
            self.stopping.wait(0.1)


def slow_headers(port, count=300):
    """Each connection sends a request line, then a header line every 3 s."""
    socks = [connect(port) for _ in range(count)]
    started = time.monotonic()
    for sock in socks:
        sock.sendall(b"GET " + TARGET.encode() + b" HTTP/1.1\r\nHost: 127.0.0.1\r\n")
        sock.setblocking(False)
    open_socks, closed_at = set(socks), []
    next_line = started + 3
    while open_socks and time.monotonic() - started < HEADER_DEADLINE + 15:
        selector = selectors.DefaultSelector()
        for sock in open_socks:
            selector.register(sock, selectors.EVENT_READ)
        for key, _ in selector.select(timeout=max(0.0, next_line - time.monotonic())):
            try:
                data = key.fileobj.recv(4096)
            except OSError:
                data = b""
            if not data:
                open_socks.discard(key.fileobj)
                closed_at.append(time.monotonic() - started)
        selector.close()
        if time.monotonic() >= next_line:
            next_line += 3
            for sock in list(open_socks):
                try:
                    sock.send(b"X-Slow: 1\r\n")
                except OSError:
                    open_socks.discard(sock)
                    closed_at.append(time.monotonic() - started)
    for sock in socks:
        sock.close()
    print("slow headers: %d of %d dropped by the server, the last after %.1f s"
          % (len(closed_at), count, max(closed_at, default=0)), flush=True)
    if len(closed_at) != count:
        fail("%d slow connections still open after %.0f s" % (count - len(closed_at), HEADER_DEADLINE + 15))


def flood(port, lines=400000):
    head = b"GET " + TARGET.encode() + b" HTTP/1.1\r\nHost: 127.0.0.1\r\n"
    block = b"X-Flood: 1\r\n" * 10000
    outcome = "accepted"
    try:
        with connect(port) as sock:
            try:
                sock.sendall(head)
                for _ in range(lines // 10000):
                    sock.sendall(block)
                sock.sendall(b"\r\n")
            except OSError:
                pass  # refused before the end: what a flood should get
            statuses = read_replies(sock, 1, 10)
            outcome = str(statuses[0]) if statuses else "closed"
    except OSError:
        outcome = "closed"
    return outcome


def floods(port, count=4):
    outcomes = [None] * count

    def one(i):
        outcomes[i] = flood(port)

    threads = [threading.Thread(target=one, args=(i,)) for i in range(count)]
    for t in threads:
        t.start()
    for t in threads:
        t.join(60)
    print("floods:", ", ".join(str(o) for o in outcomes), flush=True)
    for o in outcomes:
        if o not in ("431", "closed"):
            fail("a flood of header lines got %s" % o)


def burst(port, count, limit):
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    if hard < count + 128:
        print("burst: the open-file limit is %d, so %d connections instead of %d" % (hard, hard - 128, count))
        count = hard - 128
    resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, min(hard, count + 256)), hard))
    socks = [connect(port) for _ in range(count)]
    selector = selectors.DefaultSelector()
    pending = {}
    for sock in socks:
        sock.sendall(REQUEST)
        sock.setblocking(False)
        pending[sock] = [time.monotonic(), b""]
        selector.register(sock, selectors.EVENT_READ)
    latencies, statuses = [], []
    deadline = time.monotonic() + 30
    while pending and time.monotonic() < deadline:
        for key, _ in selector.select(timeout=1):
            sock = key.fileobj
            try:
                chunk = sock.recv(65536)
            except BlockingIOError:
                continue
            except OSError:
                chunk = b""
            state = pending[sock]
            state[1] += chunk
            data = state[1]
            end = data.find(b"\r\n\r\n")
            done = not chunk
            if end >= 0:
                match = re.search(rb"(?im)^content-length:\s*(\d+)", data[:end])
                done = done or len(data) >= end + 4 + (int(match.group(1)) if match else 0)
            if done:
                statuses.append(int(data.split()[1]) if end >= 0 else 0)
                latencies.append(time.monotonic() - state[0])
                selector.unregister(sock)
                del pending[sock]
    selector.close()
    for sock in socks:
        sock.close()
    answered = sum(1 for s in statuses if s == 200)
    latencies.sort()
    print("burst: %d of %d answered; latency p50 %.3f s, p99 %.3f s, max %.3f s"
          % (answered, count, latencies[len(latencies) // 2] if latencies else 0,
             latencies[int(len(latencies) * 0.99)] if latencies else 0, max(latencies, default=0)), flush=True)
    if answered != count:
        fail("%d of %d burst requests unanswered" % (count - answered, count))
    if limit and latencies and latencies[-1] > limit:
        fail("a burst request took %.2f s (goal %.1f s)" % (latencies[-1], limit))


def pipelined(port, count=20):
    with connect(port) as sock:
        sock.sendall(REQUEST * count)
        statuses = read_replies(sock, count, 30)
    print("pipelined: %d of %d answered" % (statuses.count(200), count), flush=True)
    if statuses != [200] * count:
        fail("pipelined requests: %s" % statuses)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("server")
    parser.add_argument("--strict", action="store_true")
    parser.add_argument("--no-memory-limit", action="store_true")
    args = parser.parse_args()
    signal.alarm(300)  # whatever happens, the run ends

    with tempfile.TemporaryDirectory() as root:
        server = Server(args.server, root)
        try:
            with connect(server.port) as sock:  # the first page is made
                sock.sendall(REQUEST)
                read_replies(sock, 1, 30)
            time.sleep(0.5)
            fds_before = server.fds()
            prober = Prober(server, 0.5 if args.strict else 20)
            prober.start()
            slow_headers(server.port)
            floods(server.port)
            burst(server.port, 1000, 5 if args.strict else 0)
            pipelined(server.port)
            prober.stopping.set()
            prober.join()

            for _ in range(150):
                if server.fds() == fds_before:
                    break
                time.sleep(0.1)
            print("descriptors: %d before, %d after" % (fds_before, server.fds()), flush=True)
            if server.fds() != fds_before:
                fail("the server holds %d descriptors, %d before" % (server.fds(), fds_before))
            latencies = sorted(prober.latencies)
            print("normal client: %d answered, %d not; latency max %.3f s; server memory at most %d MB"
                  % (len(latencies), prober.unanswered, latencies[-1] if latencies else 0,
                     prober.max_rss_kb // 1024), flush=True)
            if prober.unanswered:
                fail("%d normal requests went unanswered" % prober.unanswered)
            if not args.no_memory_limit and prober.max_rss_kb > MEMORY_LIMIT_KB:
                fail("the server grew to %d MB" % (prober.max_rss_kb // 1024))
            if server.process.poll() is not None:
                fail("the server ended during the run")
        finally:
            code = server.stop()
        if code != 0:
            fail("the server exited with %s" % code)
    if failures:
        sys.exit(1)
    print("ok")


if __name__ == "__main__":
    main()
