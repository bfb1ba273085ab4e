#pragma once
#include <string>
#include <vector>

// The autostart switch "/FromAutostart" stands anywhere in the command line
// (the arguments joined by blanks), in any letter case.
bool HasAutostartSwitch(const std::vector<std::string>& arguments);
