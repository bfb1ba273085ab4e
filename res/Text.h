#pragma once
#include <string>

// Text of the string table entry id; empty if there is none.
std::string LoadText(unsigned id);

// printf-style formatting. The result is complete whatever its length: it
// is never cut short and no buffer is written past its end.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "first, second"; an empty part is dropped (no comma then).
std::string JoinWithComma(const std::string& first, const std::string& second);

// UTF-8 to a zero-terminated UTF-16 string in one of three rotating static
// buffers of 8192 units: valid until the third following call. Malformed
// bytes become U+FFFD; a text whose UTF-16 form (with its zero) would not fit
// gives the empty string. Not thread-safe: user-interface thread only.
const char16_t* ToWideFromUtf8(const std::string& text);

// Case-insensitive equality of two paths (ASCII letters fold).
bool EqualsNoCase(const std::string& a, const std::string& b);
