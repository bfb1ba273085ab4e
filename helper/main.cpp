// loadwatch-helper: started through pkexec by the window, it answers over
// stdin and stdout what the window may not read or do itself (see
// platform/linux/HelperProtocol.h), and exits when stdin closes.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "helper/HelperSession.h"
#include "helper/ProcHelperSystem.h"

namespace {
bool WriteAll(std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(STDOUT_FILENO, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}
}  // namespace

int main(int argc, char**) {
    if (argc != 1) return 2;  // takes nothing from its caller but requests
    // A window that went away is an end of input, not a reason to die mid-write.
    ::signal(SIGPIPE, SIG_IGN);
    CProcHelperSystem system;
    CHelperSession session(system);
    if (!WriteAll("ready\n")) return 1;
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        if (!WriteAll(session.Feed(std::string_view(buf, static_cast<size_t>(n))))) return 1;
    }
}
