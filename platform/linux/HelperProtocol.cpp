#include "platform/linux/HelperProtocol.h"

#include <cerrno>
#include <charconv>

namespace {
// Decimal digits only, no leading zero (unless the number is 0 and zero is
// allowed), no sign, within max.
bool ParseNumber(std::string_view text, std::uint64_t max, bool allowZero, std::uint64_t& value) {
    if (text.empty() || text.size() > 20) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    if (text[0] == '0' && (text.size() > 1 || !allowZero)) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value <= max;
}

// Splits off the field before the next single blank.
std::string_view NextField(std::string_view& rest) {
    size_t blank = rest.find(' ');
    std::string_view field = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return field;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::optional<HelperRequest> ParseHelperRequest(std::string_view line) {
    if (line.size() >= kMaxHelperRequest) return std::nullopt;
    HelperRequest r;
    const bool hasTrailingBlank = !line.empty() && line.back() == ' ';
    std::string_view rest = line;
    std::string_view verb = NextField(rest);
    std::string_view pid = NextField(rest);
    if (verb == "io")
        r.verb = HelperRequest::Verb::kIo;
    else if (verb == "exe")
        r.verb = HelperRequest::Verb::kExe;
    else if (verb == "kill")
        r.verb = HelperRequest::Verb::kKill;
    else if (verb == "sockets")
        r.verb = HelperRequest::Verb::kSockets;
    else
        return std::nullopt;
    std::uint64_t value = 0;
    if (!ParseNumber(pid, kMaxPid, false, value)) return std::nullopt;
    r.pid = static_cast<std::uint32_t>(value);
    if (r.verb == HelperRequest::Verb::kKill) {
        if (!ParseNumber(NextField(rest), UINT64_MAX, true, r.startTime)) return std::nullopt;
    }
    if (!rest.empty() || hasTrailingBlank) return std::nullopt;
    return r;
}

std::string FormatHelperRequest(const HelperRequest& request) {
    switch (request.verb) {
        case HelperRequest::Verb::kIo:
            return "io " + std::to_string(request.pid) + "\n";
        case HelperRequest::Verb::kExe:
            return "exe " + std::to_string(request.pid) + "\n";
        case HelperRequest::Verb::kKill:
            return "kill " + std::to_string(request.pid) + " " + std::to_string(request.startTime) + "\n";
        case HelperRequest::Verb::kSockets:
            return "sockets " + std::to_string(request.pid) + "\n";
    }
    return {};
}

std::string EncodeHelperPath(std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        if (c < 0x21 || c == '%' || c == 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool DecodeHelperPath(std::string_view text, std::string& path) {
    path.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x21 || c == 0x7F) return false;
        if (c != '%') {
            path += static_cast<char>(c);
            continue;
        }
        if (i + 2 >= text.size()) return false;
        int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        path += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool ParseHelperReply(std::string_view line, std::string& fields, int& error) {
    if (line == "ok") {
        fields.clear();
        return true;
    }
    if (line.substr(0, 3) == "ok ") {
        fields = std::string(line.substr(3));
        return true;
    }
    std::uint64_t code = 0;
    if (line.substr(0, 4) == "err " && ParseNumber(line.substr(4), 4095, false, code)) {
        error = static_cast<int>(code);
        return false;
    }
    error = EPROTO;
    return false;
}
