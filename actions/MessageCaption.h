#pragma once
#include <string>

// Caption of every message box: the program's title, a blank, its version.
std::string MessageCaption();
