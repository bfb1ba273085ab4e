#include "res/PrintableText.h"

#include <cstdio>

#include "res/Utf8.h"

namespace {

void AppendEscaped(std::string& out, unsigned char c) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02x", c);
    out += hex;
}

// A valid character still shown escaped: the hidden controls, and the
// line and paragraph separators, which break the text around them.
bool IsHidden(std::string_view text, std::size_t at) {
    std::size_t next = at;
    const char32_t cp = DecodeUtf8(text, next);
    return IsHiddenControl(cp) || cp == 0x2028 || cp == 0x2029;
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
        } else if (IsHidden(text, i)) {
            for (std::size_t k = 0; k < n; ++k) AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
            i += n;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}
