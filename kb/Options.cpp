#include "kb/Options.h"

#include <charconv>
#include <cstring>

const char kKbUsage[] =
    "Usage: loadwatch-kb [--listen ADDR:PORT] [--db FILE]\n"
    "Answers Loadwatch's details panel: GET /index.php with the program's facts\n"
    "gives a page about the program, from this machine's package database,\n"
    "desktop entries and manual pages, and from our advice database.\n"
    "\n"
    "By default it listens on $XDG_RUNTIME_DIR/loadwatch/kb.sock, a Unix socket\n"
    "that only this user can reach, where Loadwatch asks.\n"
    "\n"
    "  --listen ADDR:PORT  listen on TCP instead (port 0 picks a free one), for an\n"
    "                      organisation's server: any other user of this machine,\n"
    "                      and on an address other than loopback the network, can\n"
    "                      then ask it about this machine's programs\n"
    "  --db FILE           keep the advice in this SQLite file, filled with the\n"
    "                      shipped advice when it has none (default: in memory)\n"
    "  --facts-root DIR    read the local facts under DIR instead of /\n"
    "  --refresh SECONDS   how often to look for changed facts (default 5)\n"
    "  --help              show this text\n"
    "Started by systemd's socket activation, it serves the socket it is handed.\n";

namespace {

bool ParseInt(std::string_view text, long low, long high, long& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end && value >= low && value <= high;
}

}  // namespace

bool ParseListenAddress(const std::string& text, std::string& address, int& port) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string host = text.substr(0, colon);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') return false;
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        return false;  // an IPv6 address needs its brackets
    }
    long value = 0;
    if (!ParseInt(std::string_view(text).substr(colon + 1), 0, 65535, value)) return false;
    address = host;
    port = static_cast<int>(value);
    return true;
}

bool ParseKbOptions(int argc, const char* const* argv, KbOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        bool takesValue = arg == "--listen" || arg == "--db" || arg == "--facts-root" || arg == "--refresh";
        if (!takesValue) {
            error = "unknown argument '" + std::string(arg) + "' (see --help)";
            return false;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            error = std::string(arg) + " needs a value";
            return false;
        }
        std::string value = argv[++i];
        if (arg == "--listen") {
            if (!ParseListenAddress(value, options.address, options.port)) {
                error = "--listen takes ADDR:PORT, e.g. 127.0.0.1:8642 or [::1]:8642";
                return false;
            }
        } else if (arg == "--db") {
            options.database = value;
        } else if (arg == "--facts-root") {
            while (value.size() > 1 && value.back() == '/') value.pop_back();
            options.factsRoot = value == "/" ? std::string{} : value;
        } else {
            long seconds = 0;
            if (!ParseInt(value, 1, 86400, seconds)) {
                error = "--refresh takes a whole number of seconds from 1 to 86400";
                return false;
            }
            options.refreshSeconds = static_cast<int>(seconds);
        }
    }
    return true;
}

int InheritedListenFd(const char* listenPid, const char* listenFds, long selfPid) {
    if (!listenPid || !listenFds) return -1;
    long pid = 0, count = 0;
    if (!ParseInt(listenPid, 1, 0x7fffffffL, pid) || pid != selfPid) return -1;
    if (!ParseInt(listenFds, 1, 1024, count)) return -1;
    return 3;  // SD_LISTEN_FDS_START
}
