#include "online/Url.h"

namespace {
bool ParsePortNumber(const std::string& text, std::uint16_t& port) {
    if (text.empty() || text.size() > 5) return false;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}
}  // namespace

bool ParseUrl(const std::string& url, UrlParts& parts) {
    size_t colon = url.find(':');
    size_t slash = url.find('/');
    if ((colon != 3 && colon != 4) || slash != colon + 1) return false;
    if (url.compare(colon, 3, "://") != 0) return false;

    UrlParts p;
    p.scheme = url.substr(0, slash + 2);
    std::string rest = url.substr(slash + 2);

    size_t restSlash = rest.find('/');
    if (restSlash == std::string::npos) restSlash = rest.size();
    size_t restColon = rest.find(':');
    if (restColon != std::string::npos && restColon < restSlash) {
        p.host = rest.substr(0, restColon);
        p.port = rest.substr(restColon + 1, restSlash - restColon - 1);
        if (!ParsePortNumber(p.port, p.nPort)) return false;
    } else {
        p.host = rest.substr(0, restSlash);
    }
    if (p.host.empty()) return false;
    p.base = url.substr(0, p.scheme.size() + restSlash);

    if (restSlash < rest.size()) p.object = rest.substr(restSlash + 1);
    size_t question = p.object.find('?');
    p.path = p.object.substr(0, question);
    if (question != std::string::npos) p.query = p.object.substr(question + 1);
    size_t sep = p.path.find_last_of("/\\");
    if (sep == std::string::npos) {
        p.file = p.path;
    } else {
        p.folder = p.path.substr(0, sep);
        p.file = p.path.substr(sep + 1);
    }
    parts = std::move(p);
    return true;
}
