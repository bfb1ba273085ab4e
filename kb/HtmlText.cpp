#include "kb/HtmlText.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the well-formed UTF-8 sequence at text[i], or 0 (RFC 3629:
// no overlong forms, no surrogates, nothing above U+10FFFF).
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b = byte(i);
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + n > text.size()) return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return n;
}

// C1 controls (U+0080..U+009F), which some terminals and viewers obey, and
// the bidirectional controls, which can make a name read as another
// (U+061C, U+200E/F, U+202A..U+202E, U+2066..U+2069).
bool IsHiddenControl(std::string_view sequence) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(sequence[k]); };
    if (sequence.size() == 2) return (b(0) == 0xC2 && b(1) < 0xA0) || (b(0) == 0xD8 && b(1) == 0x9C);
    if (sequence.size() != 3 || b(0) != 0xE2) return false;
    const unsigned int low = (static_cast<unsigned int>(b(1)) << 8) | b(2);
    return low == 0x808E || low == 0x808F || (low >= 0x80AA && low <= 0x80AE) ||
           (low >= 0x81A6 && low <= 0x81A9);
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            std::size_t n = Utf8Length(text, i);
            if (n == 0) {
                out += kReplacement;
                ++i;
            } else if (IsHiddenControl(text.substr(i, n))) {
                out += kReplacement;  // one for the whole character
                i += n;
            } else {
                out.append(text.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\t':
            case '\n':
                out += c;
                break;
            default:
                if (u < 0x20 || u == 0x7F)
                    out += kReplacement;
                else
                    out += c;
        }
        ++i;
    }
    return out;
}

std::string SafeLinkTarget(std::string_view url) {
    auto startsWith = [url](std::string_view prefix) {
        if (url.size() <= prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if ((url[i] | 0x20) != prefix[i]) return false;
        return true;
    };
    if (!startsWith("http://") && !startsWith("https://")) return {};
    for (char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return {};
    return HtmlEscape(url);
}
