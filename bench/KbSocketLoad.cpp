// kb_socket_load: a small keep-alive load client for loadwatch-kb that
// speaks both TCP and the Unix socket (wrk knows TCP only), so the two
// transports are measured by the same client.
// Usage: kb_socket_load ADDRESS CONNECTIONS SECONDS TARGETS
//   ADDRESS: a socket path (starting with "/") or IPv4-ADDRESS:PORT
//   TARGETS: a file of request targets, one a line, asked in turn
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/UniqueFd.h"

namespace {

using Clock = std::chrono::steady_clock;

UniqueFd Connect(const std::string& address) {
    if (address.front() == '/') {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        address.copy(addr.sun_path, sizeof addr.sun_path - 1);
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (!fd || ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
        return fd;
    }
    std::size_t colon = address.rfind(':');
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(std::atoi(address.c_str() + colon + 1)));
    if (colon == std::string::npos ||
        ::inet_pton(AF_INET, address.substr(0, colon).c_str(), &addr.sin_addr) != 1)
        return {};
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    int on = 1;
    if (!fd || ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0 ||
        ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return {};
    return fd;
}

// Reads one reply (head and Content-Length body); its status, or 0.
int ReadReply(int fd, std::string& buffer) {
    for (;;) {
        std::size_t end = buffer.find("\r\n\r\n");
        if (end != std::string::npos) {
            std::size_t length = 0;
            for (std::size_t at = buffer.find('\n'); at < end; at = buffer.find('\n', at + 1))
                if (strncasecmp(buffer.c_str() + at + 1, "Content-Length:", 15) == 0)
                    length = std::strtoul(buffer.c_str() + at + 16, nullptr, 10);
            if (buffer.size() >= end + 4 + length) {
                int status = buffer.size() > 12 ? std::atoi(buffer.c_str() + 9) : 0;
                buffer.erase(0, end + 4 + length);
                return status;
            }
        }
        char chunk[65536];
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return 0;
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

struct Worker {
    std::vector<double> latenciesMs;
    long errors = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: kb_socket_load ADDRESS CONNECTIONS SECONDS TARGETS\n");
        return 2;
    }
    const std::string address = argv[1];
    const int connections = std::max(1, std::atoi(argv[2]));
    const auto duration = std::chrono::seconds(std::max(1, std::atoi(argv[3])));
    std::vector<std::string> requests;
    std::ifstream targets(argv[4]);
    for (std::string line; std::getline(targets, line);)
        if (!line.empty())
            requests.push_back("GET " + line +
                               " HTTP/1.1\r\nHost: localhost\r\nUser-Agent: LDWT Browser\r\n\r\n");
    if (requests.empty() || address.empty()) {
        std::fprintf(stderr, "kb_socket_load: no targets or no address\n");
        return 2;
    }

    std::vector<Worker> workers(static_cast<std::size_t>(connections));
    std::vector<std::thread> threads;
    const Clock::time_point stop = Clock::now() + duration;
    for (int c = 0; c < connections; ++c) {
        threads.emplace_back([&, c] {
            Worker& w = workers[static_cast<std::size_t>(c)];
            UniqueFd fd = Connect(address);
            std::string buffer;
            for (std::size_t i = static_cast<std::size_t>(c); Clock::now() < stop; ++i) {
                if (!fd && !(fd = Connect(address))) {
                    ++w.errors;
                    continue;
                }
                const std::string& request = requests[i % requests.size()];
                const Clock::time_point sent = Clock::now();
                if (::send(fd.Get(), request.data(), request.size(), MSG_NOSIGNAL) !=
                        static_cast<ssize_t>(request.size()) ||
                    ReadReply(fd.Get(), buffer) != 200) {
                    ++w.errors;
                    fd.Reset();
                    buffer.clear();
                    continue;
                }
                w.latenciesMs.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
            }
        });
    }
    for (std::thread& t : threads) t.join();

    std::vector<double> all;
    long errors = 0;
    for (const Worker& w : workers) {
        all.insert(all.end(), w.latenciesMs.begin(), w.latenciesMs.end());
        errors += w.errors;
    }
    std::sort(all.begin(), all.end());
    auto at = [&](double q) {
        return all.empty() ? 0.0 : all[std::min(all.size() - 1, static_cast<std::size_t>(q * all.size()))];
    };
    std::printf(
        "%s: %d connections, %lld s, %zu requests: %.0f requests/s, latency p50 %.3f ms, p90 %.3f ms, p99 "
        "%.3f ms, "
        "max %.3f ms, errors %ld\n",
        address.front() == '/' ? "unix" : "tcp", connections, static_cast<long long>(duration.count()),
        all.size(), static_cast<double>(all.size()) / static_cast<double>(duration.count()), at(0.5), at(0.9),
        at(0.99), all.empty() ? 0.0 : all.back(), errors);
    return errors == 0 && !all.empty() ? 0 : 1;
}
