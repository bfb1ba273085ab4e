#pragma once
#include <string>

// printf-style formatting. The result is complete whatever its length: it
// is never cut short and no buffer is written past its end.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "first, second"; an empty part is dropped (no comma then).
std::string JoinWithComma(const std::string& first, const std::string& second);
