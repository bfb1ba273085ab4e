#pragma once
#include <cstdint>

// GetUserDefaultLangID: the user's language for version-resource lookups.
std::uint16_t GetUserLanguageId();
