#pragma once
#include <string>

#include "platform/windows/Win32.h"

// A window's text, whole (the ANSI code page is UTF-8 by our manifest).
std::string WindowText(HWND window);
