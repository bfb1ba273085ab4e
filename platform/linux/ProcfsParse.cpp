#include "platform/linux/ProcfsParse.h"

#include <charconv>
#include <string_view>

namespace {
bool ParseU64(std::string_view s, std::uint64_t& out) {
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}
}  // namespace

bool ParseStatLine(const std::string& text, StatFields& out) {
    // The command name (field 2) may hold blanks and parentheses: the
    // fields proper start after the last ')'.
    size_t close = text.rfind(')');
    size_t open = text.find('(');
    if (close == std::string::npos || open == std::string::npos || open > close) return false;
    std::string_view rest(text);
    rest.remove_prefix(close + 1);
    int field = 2;
    std::uint64_t values[28] = {};
    size_t i = 0;
    while (field < 27 && i < rest.size()) {
        while (i < rest.size() && rest[i] == ' ') ++i;
        size_t j = i;
        while (j < rest.size() && rest[j] != ' ' && rest[j] != '\n') ++j;
        if (j == i) break;
        ++field;
        std::string_view tok = rest.substr(i, j - i);
        if (field == 4 || field == 9 || (field >= 14 && field <= 17) || field == 22 || field >= 26) {
            // Children times are signed in the kernel's format; never negative in practice.
            if (!ParseU64(tok, values[field])) return false;
        }
        i = j;
    }
    if (field < 22) return false;
    out.comm.assign(text, open + 1, close - open - 1);
    out.ppid = values[4];
    out.startcode = values[26];
    out.endcode = values[27];
    out.flags = values[9];
    out.utime = values[14];
    out.stime = values[15];
    out.cutime = values[16];
    out.cstime = values[17];
    out.starttime = values[22];
    return true;
}

bool ParseIoText(const std::string& text, std::uint64_t& readBytes, std::uint64_t& writeBytes) {
    bool haveRead = false, haveWrite = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            std::string_view key = line.substr(0, colon);
            std::string_view value = line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
            if (key == "read_bytes")
                haveRead = ParseU64(value, readBytes);
            else if (key == "write_bytes")
                haveWrite = ParseU64(value, writeBytes);
        }
        pos = end + 1;
    }
    return haveRead && haveWrite;
}
