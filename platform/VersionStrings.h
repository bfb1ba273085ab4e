#pragma once
#include <string>

#include "platform/QueryKeys.h"

// The seven strings a program file says about itself (a Windows program's
// version resource, or what another system's package records instead).
struct VersionStrings {
    std::string m_strProductName;
    std::string m_strFileVersion;
    std::string m_strFileDescription;
    std::string m_strCompanyName;
    std::string m_strLegalCopyright;
    std::string m_strComments;
    std::string m_strInternalName;

    bool operator==(const VersionStrings&) const = default;
};

// Each string's name in a version resource and its key in the knowledge
// base's query, in the order both ask for them. Everything that walks the
// seven strings walks this table, so none can be left out.
struct VersionKey {
    const char* name;
    QueryKey queryKey;
    std::string VersionStrings::*field;
};
inline constexpr VersionKey kVersionKeys[] = {
    {"ProductName", kProductNameKey, &VersionStrings::m_strProductName},
    {"FileVersion", kFileVersionKey, &VersionStrings::m_strFileVersion},
    {"FileDescription", kFileDescriptionKey, &VersionStrings::m_strFileDescription},
    {"CompanyName", kCompanyNameKey, &VersionStrings::m_strCompanyName},
    {"LegalCopyright", kLegalCopyrightKey, &VersionStrings::m_strLegalCopyright},
    {"Comments", kCommentsKey, &VersionStrings::m_strComments},
    {"InternalName", kInternalNameKey, &VersionStrings::m_strInternalName},
};
