#pragma once
#include <string>

// Every byte but an ASCII letter becomes "%" and two lowercase hex digits:
// "notepad.exe" -> "notepad%2eexe".
std::string UrlEncode(const std::string& text);
