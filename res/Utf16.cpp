#include "res/Utf16.h"

#include <array>

#include "res/Utf8.h"

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
