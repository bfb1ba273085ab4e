#include "res/Text.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "res/StringTable.h"
#include "res/Utf8.h"

std::string LoadText(unsigned id) {
    const char* text = FindStringResource(id);
    return text ? std::string(text) : std::string();
}

std::string FormatText(const char* format, ...) {
    // Most results fit the fixed buffer; longer ones are formatted again into
    // a buffer of their own size instead of being cut or overflowing.
    char buffer[8192];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string result;
    if (n < 0) {
        result.clear();
    } else if (static_cast<size_t>(n) < sizeof buffer) {
        result.assign(buffer, static_cast<size_t>(n));
    } else {
        std::vector<char> big(static_cast<size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), format, again);
        result.assign(big.data(), static_cast<size_t>(n));
    }
    va_end(again);
    // Like a C string, the text ends at its first zero byte.
    if (auto z = result.find('\0'); z != std::string::npos) result.resize(z);
    return result;
}

std::string JoinWithComma(const std::string& first, const std::string& second) {
    if (second.empty()) return first;
    if (first.empty()) return second;
    return first + ", " + second;
}

namespace {
constexpr size_t kWideUnits = 8192;
}  // namespace

const char16_t* ToWideFromUtf8(const std::string& text) {
    static std::array<std::array<char16_t, kWideUnits>, 3> s_buffers;
    static size_t s_next = 0;
    char16_t* out = s_buffers[s_next].data();
    s_next = (s_next + 1) % s_buffers.size();
    out[0] = 0;
    size_t n = 0;
    // Stops at the first zero byte, as the text would be read as a C string.
    for (size_t i = 0; i < text.size() && text[i] != '\0';) {
        char32_t cp = DecodeUtf8(text, i);
        size_t need = cp >= 0x10000 ? 2 : 1;
        if (n + need + 1 > kWideUnits) {
            out[0] = 0;
            return out;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out[n++] = static_cast<char16_t>(0xD800 + (cp >> 10));
            out[n++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out[n++] = static_cast<char16_t>(cp);
        }
    }
    out[n] = 0;
    return out;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}
