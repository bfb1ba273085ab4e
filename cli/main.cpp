// loadwatch-cli: the list of busy programs on a console.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/WatchCommand.h"
#include "monitor/Processes.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/ResourceLimits.h"
#include "platform/linux/SystemClock.h"

namespace {
const char kUsage[] =
    "Usage: loadwatch-cli [--count N]\n"
    "Shows, once a second, the programs that used the processor (100 ms or more\n"
    "in the last second) or the hard disk in the last 20 seconds, most recent first.\n"
    "\n"
    "  --count N   stop after N refreshes (default: run until interrupted)\n"
    "  --help      show this text\n";

bool ParseCount(const char* text, long& count) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 1) return false;
    count = v;
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    long count = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--count") == 0) {
            if (i + 1 >= argc || !ParseCount(argv[i + 1], count)) {
                std::fprintf(stderr, "loadwatch-cli: --count needs a whole number of at least 1\n");
                return 2;
            }
            ++i;
            continue;
        }
        std::fprintf(stderr, "loadwatch-cli: unknown argument '%s' (see --help)\n", argv[i]);
        return 2;
    }

    RaiseOpenFileLimit();
    CSystemClock clock;
    CProcfsProcessSource source;
    CPosixFileSystem files;
    CProcesses processes({clock, source, files});
    return RunWatch(processes, count, stdout, ::isatty(STDOUT_FILENO) != 0);
}
