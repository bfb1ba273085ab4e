#include "platform/windows/UserLanguage.h"

#include "platform/windows/Win32.h"

std::uint16_t GetUserLanguageId() { return ::GetUserDefaultLangID(); }
