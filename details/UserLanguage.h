#pragma once
#include <cstdint>
#include <string>

// Windows language id (LANGID) of a POSIX locale name such as "de_DE.UTF-8"
// or "pt_BR@euro": the language and territory when both are known, else the
// language's main variant; 0x0409 (English, United States) when unknown.
std::uint16_t LangIdFromLocale(const std::string& locale);

// The user's language for messages: the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty, as a LANGID.
std::uint16_t GetUserDefaultLangID();
