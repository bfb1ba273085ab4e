#include "window/AutostartSwitch.h"

#include "res/CaseInsensitive.h"

bool HasAutostartSwitch(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& a : arguments) line += a + ' ';
    return FindNoCase(line, "/FromAutostart") != std::string::npos;
}
