#include "cli/ListenAddress.h"

namespace {
bool ParsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > 65535) return false;
    port = v;
    return true;
}
}  // namespace

bool ParseListenAddress(const std::string& text, ListenAddress& address) {
    ListenAddress parsed;
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        if (!ParsePort(text, parsed.port)) return false;
        address = parsed;
        return true;
    }
    std::string host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        if (host.find(':') == std::string::npos) return false;
    } else if (host.find_first_of(":[]") != std::string::npos) {
        return false;
    }
    if (host.empty() || !ParsePort(text.substr(colon + 1), parsed.port)) return false;
    parsed.host = host;
    address = parsed;
    return true;
}

std::string FormatListenAddress(const ListenAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}
