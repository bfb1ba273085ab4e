#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The one reading and writing of UTF-8 (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF) that every part of the program uses.

// Length of the well-formed sequence at text[at] (1 for ASCII), or 0 when
// the byte there starts none.
std::size_t Utf8Length(std::string_view text, std::size_t at);

// The character at text[at], moving at past it; a byte that starts no
// well-formed sequence gives U+FFFD and moves at by one.
char32_t DecodeUtf8(std::string_view text, std::size_t& at);

// Appends cp as UTF-8; a surrogate or a value above U+10FFFF gives U+FFFD.
void AppendUtf8(std::string& out, char32_t cp);

// The invisible characters a hostile name can hide behind: the C1 controls
// (U+0080..U+009F), which some terminals obey, and the bidirectional
// controls and marks (U+061C, U+200E, U+200F, U+202A..U+202E,
// U+2066..U+2069), which show letters in another order than stored.
bool IsHiddenControl(char32_t cp);
