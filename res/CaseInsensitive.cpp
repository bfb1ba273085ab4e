#include "res/CaseInsensitive.h"

#include <algorithm>

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::size_t FindNoCase(const std::string& text, const std::string& pattern) {
    auto it = std::search(text.begin(), text.end(), pattern.begin(), pattern.end(),
                          [](char a, char b) { return Lower(a) == Lower(b); });
    if (it == text.end() && !pattern.empty()) return std::string::npos;
    return static_cast<std::size_t>(it - text.begin());
}
