#include "kb/ServerMain.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
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
#include "kb/LocalFacts.h"
#include "kb/Options.h"

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
    CKbHttpServer server(service);

    if (inherited >= 0) {
        server.Adopt(inherited);
        std::printf("loadwatch-kb: serving the socket handed over by systemd\n");
    } else if (server.Bind(options.address, options.port)) {
        std::printf("loadwatch-kb: listening on %s:%d\n", options.address.c_str(), server.Port());
    } else {
        std::fprintf(stderr, "loadwatch-kb: cannot listen on %s:%d\n", options.address.c_str(), options.port);
        return 1;
    }
    std::fflush(stdout);

    std::atomic<bool> served{false};
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        // The accept loop may not be running yet; keep asking until it ends.
        while (!served) {
            server.Stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    bool ok = server.Serve();
    served = true;
    // Wakes the stopper when the loop ended for another reason than a signal.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return ok ? 0 : 1;
}
