#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Position of the first occurrence of pattern in text, ignoring the case of
// ASCII letters; std::string::npos if none.
std::size_t FindNoCase(const std::string& text, const std::string& pattern);

// The autostart switch "/FromAutostart" stands anywhere in the command line
// (the arguments joined by blanks), in any letter case.
bool HasAutostartSwitch(const std::vector<std::string>& arguments);
