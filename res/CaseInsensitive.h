#pragma once
#include <cstddef>
#include <string>

// Comparisons that fold only the ASCII letters, as Windows does for paths
// and command-line switches.

// Case-insensitive equality of two paths.
bool EqualsNoCase(const std::string& a, const std::string& b);

// Position of the first occurrence of pattern in text; std::string::npos if
// none.
std::size_t FindNoCase(const std::string& text, const std::string& pattern);
