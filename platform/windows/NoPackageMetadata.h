#pragma once
#include "platform/PackageMetadata.h"

// Windows has no package manager that records installed files: version
// strings come from the files themselves and trust from their signatures.
class CNoPackageMetadata : public IPackageMetadata {
public:
    bool GetVersionStrings(const std::string&, VersionStrings&) override { return false; }
    bool VerifyFile(const std::string&) override { return false; }
};
