#include "kb/ServerMain.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "kb/AdviceDatabase.h"
#include "kb/DiskSourceFiles.h"
#include "kb/FactPaths.h"
#include "kb/FactRefresher.h"
#include "kb/KbHttpServer.h"
#include "kb/KbService.h"
#include "kb/ListenSocket.h"
#include "kb/LocalFacts.h"
#include "kb/Options.h"
#include "platform/linux/ResourceLimits.h"

int RunKbServer(int argc, const char* const* argv) {
    KbOptions options;
    std::string error;
    if (!ParseKbOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "loadwatch-kb: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kKbUsage, stdout);
        return 0;
    }

    // Signals are taken by one thread with sigwait; every thread started
    // from here on inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    int inherited = InheritedListenFd(std::getenv("LISTEN_PID"), std::getenv("LISTEN_FDS"), ::getpid());
    ::unsetenv("LISTEN_PID");
    ::unsetenv("LISTEN_FDS");
    ::unsetenv("LISTEN_FDNAMES");
    if (inherited >= 0) ::fcntl(inherited, F_SETFD, FD_CLOEXEC);

    std::unique_ptr<CAdviceDatabase> advice;
    try {
        advice = std::make_unique<CAdviceDatabase>(options.database);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "loadwatch-kb: %s\n", e.what());
        return 1;
    }
    const char* home = std::getenv("HOME");
    CDiskSourceFiles files;
    CLocalFacts facts(files, DefaultFactPaths(options.factsRoot, home ? home : ""));
    CFactRefresher refresher(facts, std::chrono::seconds(options.refreshSeconds));
    CKbService service(facts, *advice);
    // A thousand clients at once need more descriptors than the usual 1024;
    // the connection cap (times a connection's buffer) bounds the memory.
    const long openFiles = RaiseOpenFileLimit();
    KbHttpLimits limits;
    if (openFiles > 64)
        limits.maxConnections = static_cast<unsigned>(std::min<long>(openFiles - 64, limits.maxConnections));
    limits.threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    CKbHttpServer server(service, limits);

    UniqueFd listener;
    std::string where, socketPath;
    unsigned long long socketInode = 0;
    if (inherited >= 0) {
        listener = UniqueFd(inherited);
        where = "the socket handed over by systemd";
    } else if (!options.address.empty()) {
        listener = ListenTcp(options.address, options.port, error);
        const bool v6 = options.address.find(':') != std::string::npos;
        where = (v6 ? "[" + options.address + "]" : options.address) + ":" +
                std::to_string(ListeningPort(listener.Get()));
    } else {
        socketPath = UserSocketPath(std::getenv("XDG_RUNTIME_DIR"), error);
        if (!socketPath.empty()) {
            UnixListener unix = ListenUnix(socketPath, error);
            listener = std::move(unix.fd);
            socketInode = unix.inode;
        }
        where = socketPath;
    }
    if (!listener) {
        std::fprintf(stderr, "loadwatch-kb: %s\n", error.c_str());
        return 1;
    }
    if (!server.Start(std::move(listener))) {
        std::fprintf(stderr, "loadwatch-kb: cannot serve %s\n", where.c_str());
        RemoveUnixSocket(socketPath, socketInode);
        return 1;
    }
    if (inherited >= 0)
        std::printf("loadwatch-kb: serving %s\n", where.c_str());
    else
        std::printf("loadwatch-kb: listening on %s\n", where.c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    RemoveUnixSocket(socketPath, socketInode);
    return 0;
}
