#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/DpkgDatabase.h"

class ISourceFiles;

// The package that owns a path, as the program's own dpkg reader finds it
// (both /usr-merge spellings, multi-arch list names), read through the
// server's source files once per Build.
using KbPackage = PackageInfo;

class CPackageIndex {
public:
    CPackageIndex();
    ~CPackageIndex();
    // adminDir is dpkg's database folder, normally /var/lib/dpkg.
    void Build(ISourceFiles& files, const std::string& adminDir);
    // What Build reads, whose modification times tell when to build again.
    static std::vector<std::string> Sources(const std::string& adminDir);

    const KbPackage* FindOwner(const std::string& path) const;
    std::size_t PackageCount() const { return m_database ? m_database->InstalledPackages() : 0; }
    std::size_t PathCount() const { return m_database ? m_database->IndexedPaths() : 0; }

private:
    class Content;
    class NoDigests;
    std::unique_ptr<Content> m_content;
    std::unique_ptr<NoDigests> m_digests;
    std::unique_ptr<CDpkgDatabase> m_database;
};
