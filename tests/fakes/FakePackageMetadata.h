#pragma once
#include <map>
#include <set>
#include <string>

#include "platform/PackageMetadata.h"

// Packages as a test declares them: owned paths with their strings, and the
// paths whose content still matches.
class CFakePackageMetadata : public IPackageMetadata {
public:
    std::map<std::string, VersionStrings> owned;
    std::set<std::string> intact;
    int verifications = 0;

    bool GetVersionStrings(const std::string& path, VersionStrings& strings) override {
        auto it = owned.find(path);
        if (it == owned.end()) return false;
        strings = it->second;
        return true;
    }
    bool VerifyFile(const std::string& path) override {
        ++verifications;
        return owned.count(path) != 0 && intact.count(path) != 0;
    }
};
