// TCP on 127.0.0.1 for the network tests:
//   lw-test-net serve PORTFILE   accepts connections; to a client that sends
//                                'd' it sends about 10 MB/s, one that sends
//                                'i' gets nothing
//   lw-test-net fetch PORT       asks for data and reads it until killed
//   lw-test-net idle PORT FILE   holds a silent connection until killed;
//                                creates FILE once it has said its byte
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

sockaddr_in Loopback(unsigned short port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

void Serve(int fd) {
    char what = 0;
    if (read(fd, &what, 1) != 1) return;
    if (what != 'd') {
        while (read(fd, &what, 1) > 0) {
        }
        return;
    }
    std::vector<char> block(64 * 1024, 'n');
    while (write(fd, block.data(), block.size()) > 0) usleep(6000);
}

int Connect(const char* port, char what) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(static_cast<unsigned short>(std::atoi(port)));
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || write(fd, &what, 1) != 1)
        exit(1);
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    if (std::strcmp(argv[1], "serve") == 0) {
        int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = Loopback(0);
        socklen_t length = sizeof a;
        if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            listen(listener, 16) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length) != 0)
            return 1;
        // Written whole under a temporary name, so a reader never sees half.
        std::string temp = std::string(argv[2]) + ".tmp";
        FILE* f = std::fopen(temp.c_str(), "w");
        if (!f || std::fprintf(f, "%u\n", ntohs(a.sin_port)) < 0 || std::fclose(f) != 0 ||
            std::rename(temp.c_str(), argv[2]) != 0)
            return 1;
        for (;;) {
            int fd = accept(listener, nullptr, nullptr);
            if (fd >= 0) std::thread(Serve, fd).detach();
        }
    }
    if (std::strcmp(argv[1], "fetch") == 0) {
        int fd = Connect(argv[2], 'd');
        std::vector<char> buffer(64 * 1024);
        while (read(fd, buffer.data(), buffer.size()) > 0) {
        }
        return 0;
    }
    if (std::strcmp(argv[1], "idle") == 0 && argc > 3) {
        Connect(argv[2], 'i');
        FILE* ready = std::fopen(argv[3], "w");
        if (!ready || std::fclose(ready) != 0) return 1;
        for (;;) pause();
    }
    return 2;
}
