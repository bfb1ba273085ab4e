#include "window/CommandLine.h"

#include <algorithm>

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::size_t FindNoCase(const std::string& text, const std::string& pattern) {
    auto it = std::search(text.begin(), text.end(), pattern.begin(), pattern.end(),
                          [](char a, char b) { return Lower(a) == Lower(b); });
    if (it == text.end() && !pattern.empty()) return std::string::npos;
    return static_cast<std::size_t>(it - text.begin());
}

bool HasAutostartSwitch(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& a : arguments) line += a + ' ';
    return FindNoCase(line, "/FromAutostart") != std::string::npos;
}
