#include "cli/CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>

namespace {
const char kUsage[] =
    "Usage: loadwatch-cli [--count N] [--wide]\n"
    "       loadwatch-cli --details PID\n"
    "       loadwatch-cli --metrics [ADDR:]PORT [--quiet-period SECONDS]\n"
    "Shows, once a second, the programs that used the processor (100 ms or more\n"
    "in the last second), the hard disk (bytes read from or written to storage)\n"
    "or the network (bytes sent or received over TCP) in the last 20 seconds,\n"
    "most recent first. Programs that have ended are marked \"Program closed\".\n"
    "Processes that ended within one second are counted for their program, with\n"
    "their number, where the system reports them (as root or with CAP_NET_ADMIN);\n"
    "otherwise for the parent that waited for them, as \"(its short-lived programs)\".\n"
    "\n"
    "  --count N   stop after N refreshes (default: run until interrupted)\n"
    "  --wide      add the process id and, over the last second, the processor\n"
    "              share of one core, disk read and write per second and network\n"
    "              bytes received and sent per second\n"
    "  --details PID\n"
    "              print the facts about the program of process PID: file and\n"
    "              folder creation times, version strings, signature, whether it\n"
    "              lies in a system folder, process start time; then the request\n"
    "              sent to the knowledge base and the page it returned\n"
    "  --metrics [ADDR:]PORT\n"
    "              sample as above without printing the list, and serve per program\n"
    "              counters (processor seconds, disk and network bytes) and gauges\n"
    "              at http://ADDR:PORT/metrics for Prometheus and OpenMetrics\n"
    "              scrapers; ADDR is 127.0.0.1 unless given ([::1]:PORT for IPv6)\n"
    "  --quiet-period SECONDS\n"
    "              with --metrics: a program's series end after this long without\n"
    "              activity (default 600)\n"
    "  --help      show this text\n";

bool ParseCount(const char* text, long& count) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 1) return false;
    count = v;
    return true;
}

bool ParsePid(const char* text, std::uint32_t& pid) {
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || *text == '-' || v < 1 || v > UINT32_MAX) return false;
    pid = static_cast<std::uint32_t>(v);
    return true;
}
}  // namespace

int ParseCommandLine(int argc, char** argv, CliOptions& options, std::FILE* out, std::FILE* err) {
    bool quietPeriodGiven = false;
    // The options that take a value: how to take it, and what a wrong one is told.
    const struct {
        const char* name;
        std::function<bool(const char*)> take;
        const char* needs;
    } valueOptions[] = {
        {"--count", [&](const char* v) { return ParseCount(v, options.count); }, "a whole number of at least 1"},
        {"--details", [&](const char* v) { return ParsePid(v, options.detailsPid); },
         "a process id (a whole number of at least 1)"},
        {"--metrics", [&](const char* v) { return options.metrics = ParseListenAddress(v, options.metricsAddress); },
         "PORT or ADDR:PORT (port 0 to 65535)"},
        {"--quiet-period", [&](const char* v) { return quietPeriodGiven = ParseCount(v, options.quietPeriod); },
         "a whole number of seconds, at least 1"},
    };
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kUsage, out);
            return 0;
        }
        if (std::strcmp(arg, "--wide") == 0) {
            options.wide = true;
            continue;
        }
        auto option = std::find_if(std::begin(valueOptions), std::end(valueOptions),
                                   [&](const auto& o) { return std::strcmp(arg, o.name) == 0; });
        if (option == std::end(valueOptions)) {
            std::fprintf(err, "loadwatch-cli: unknown argument '%s' (see --help)\n", arg);
            return 2;
        }
        if (i + 1 >= argc || !option->take(argv[++i])) {
            std::fprintf(err, "loadwatch-cli: %s needs %s\n", option->name, option->needs);
            return 2;
        }
    }
    if (quietPeriodGiven && !options.metrics) {
        std::fprintf(err, "loadwatch-cli: --quiet-period goes with --metrics only\n");
        return 2;
    }
    if (options.wide && (options.metrics || options.detailsPid != 0)) {
        std::fprintf(err, "loadwatch-cli: --wide goes with the list only\n");
        return 2;
    }
    if (options.metrics && options.detailsPid != 0) {
        std::fprintf(err, "loadwatch-cli: --metrics and --details do not go together\n");
        return 2;
    }
    return -1;
}
