#include "res/PrintableText.h"

#include <cstdio>

namespace {

void AppendEscaped(std::string& out, unsigned char c) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02x", c);
    out += hex;
}

// Length of the valid UTF-8 sequence at text[at], or 0 (RFC 3629: no
// overlong forms, no surrogates, nothing past U+10FFFF).
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char c = byte(at);
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    if (c < 0xC2 || c > 0xF4 || at + n > text.size()) return 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
    if (byte(at + 1) < lo || byte(at + 1) > hi) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return n;
}

// A valid sequence of n bytes that is still shown escaped: the C1 controls
// (some terminals obey them) and the format characters that reorder or
// break the text around them.
bool IsHidden(const std::string& text, std::size_t at, std::size_t n) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    if (n == 2) {
        const unsigned cp = (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
        return cp < 0xA0 || cp == 0x061C;
    }
    if (n != 3) return false;
    const unsigned cp = (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    return cp == 0x200E || cp == 0x200F || (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

std::string Printable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscaped(out, c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (std::size_t n = Utf8Length(text, i); n == 0) {
            AppendEscaped(out, c);
            ++i;
        } else if (IsHidden(text, i, n)) {
            for (std::size_t k = 0; k < n; ++k) AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
            i += n;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}
