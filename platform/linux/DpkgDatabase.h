#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/PackageMetadata.h"

class IDigestFactory;
class IFileContent;

// Where the Debian package database lives; tests point it at their own.
struct DpkgDatabasePaths {
    std::string adminDir = "/var/lib/dpkg";  // status, info/*.list, info/*.md5sums
    std::string docDir = "/usr/share/doc";   // PACKAGE/copyright
};

// One installed package, as its status entry describes it.
struct PackageInfo {
    std::string name;
    std::string architecture;
    std::string version;
    std::string synopsis;  // first line of Description
    // The extended description's lines without their leading blank; "."
    // stands for an empty line (deb-control(5)).
    std::vector<std::string> description;
    std::string maintainerName;  // Maintainer without the mail address
    std::string homepage;
    std::string source;    // Source without its version; the package name if absent
    std::string infoStem;  // info/STEM.list and info/STEM.md5sums
};

// Read-only view of dpkg's database: which installed package owns a file,
// what that package says about itself, and whether the file still holds
// what the package installed. The path-to-package index is built on the
// first question and kept; later changes to the database are not seen.
//
// Formats: deb-status(5), deb-md5sums(5), and the list files of dpkg's
// admin directory (one absolute path per line). Since the /usr merge a
// package may record /bin/x while the system reports /usr/bin/x (and the
// other way round): both spellings are tried.
class CDpkgDatabase : public IPackageMetadata {
public:
    CDpkgDatabase(IFileContent& content, IDigestFactory& digests, DpkgDatabasePaths paths = {});
    CDpkgDatabase(const CDpkgDatabase&) = delete;
    CDpkgDatabase& operator=(const CDpkgDatabase&) = delete;

    // The package owning path, or null. recordedPath, if given, receives
    // the spelling the package recorded.
    const PackageInfo* FindOwner(const std::string& path, std::string* recordedPath = nullptr);

    // The seven strings from the owner's metadata; false (and nothing
    // written) when no installed package owns path.
    bool GetVersionStrings(const std::string& path, VersionStrings& strings) override;

    // True exactly when an installed package owns path, records a checksum
    // for it, and the file's content matches that checksum.
    bool VerifyFile(const std::string& path) override;

    // Builds the index now if it is not built yet.
    void BuildIndex();
    bool IndexBuilt() const { return m_built; }
    std::size_t IndexedPaths() const { return m_owner.size(); }
    std::size_t InstalledPackages() const { return m_packages.size(); }

private:
    bool ReadText(const std::string& path, std::size_t limit, std::string& text);
    std::string FirstCopyrightLine(const PackageInfo& package);

    IFileContent& m_content;
    IDigestFactory& m_digests;
    DpkgDatabasePaths m_paths;
    bool m_built = false;
    std::vector<PackageInfo> m_packages;
    // The list files' text, kept whole: the index's keys point into it, so
    // its strings must never move (a deque does not move its elements).
    std::deque<std::string> m_listTexts;
    std::unordered_map<std::string_view, std::uint32_t> m_owner;  // path -> index in m_packages
};

// The spellings under which a package may have recorded path: the path
// itself first, then its merged-/usr counterpart if it has one.
std::vector<std::string> PackagePathSpellings(const std::string& path);
