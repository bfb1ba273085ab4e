#include "res/TextFormat.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

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
