#pragma once
#include <string>

#include "platform/VersionStrings.h"

// What the system's package manager knows about an installed file. A system
// without one answers false to everything.
class IPackageMetadata {
public:
    virtual ~IPackageMetadata() = default;
    // The seven strings from the metadata of the package that owns path
    // (ProductName = package, FileVersion = version, FileDescription =
    // synopsis, CompanyName = maintainer, LegalCopyright = first copyright
    // line, Comments = homepage, InternalName = source package). false, and
    // nothing written, when no installed package owns path.
    virtual bool GetVersionStrings(const std::string& path, VersionStrings& strings) = 0;
    // True exactly when an installed package owns path, records a checksum
    // for it, and the file's content matches it. May read the whole file.
    virtual bool VerifyFile(const std::string& path) = 0;
};
