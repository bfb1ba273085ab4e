#pragma once
#include <string>

// UTF-8 to a zero-terminated UTF-16 string in one of three rotating static
// buffers of 8192 units: valid until the third following call. Malformed
// bytes become U+FFFD; a text whose UTF-16 form (with its zero) would not fit
// gives the empty string. Not thread-safe: user-interface thread only.
const char16_t* ToWideFromUtf8(const std::string& text);
