#pragma once
#include <cstdint>

#include "platform/VersionStrings.h"

// What is known about a program file, gathered once and sent to the
// knowledge base. Times are seconds since 1970 UTC, 0 = unknown.
struct ProgramFacts {
    std::int64_t m_tFileCreated = 0;
    std::int64_t m_tFolderCreated = 0;
    VersionStrings m_versionStrings;
    bool m_bSigned = false;
    bool m_bInWindowsFolder = false;

    bool operator==(const ProgramFacts&) const = default;
};
