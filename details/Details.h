#pragma once
#include <cstdint>
#include <string>

#include "details/VersionResource.h"

class CProcess;
class CProcesses;
class IDetailsHost;
class IFileContent;
class IFileSystem;
class IPackageMetadata;
class ISignatureVerifier;

// What LoadDetails reads from and reports to. All must outlive
// the calls that use them.
struct DetailsContext {
    IFileSystem& files;
    IFileContent& content;
    IPackageMetadata& packages;
    IDetailsHost& host;
    std::uint16_t userLangId;  // see GetUserDefaultLangID
    // The system's own signature check; null where it has none.
    ISignatureVerifier* signatures = nullptr;
};

// Creation (birth) time of a file or folder in seconds since 1970 UTC; 0 if
// unknown or unreadable.
std::int64_t GetFileCreationTime(IFileSystem& files, const std::string& path);

// The seven version strings of a program file: from the version resource of
// a Windows program, from the owning package's metadata for any other file;
// empty when neither has them.
VersionStrings ReadFileVersionStrings(const std::string& path, IFileContent& content,
                                      IPackageMetadata& packages, std::uint16_t userLangId);

// Whether the file is vouched for. Where the system checks signatures
// itself, as it answers, for every file. Elsewhere never for a Windows
// program (no trust roots for those there); for any other file, its content
// matches the checksum its installed package recorded for it. May read the
// whole file.
bool VerifySignature(const std::string& path, IFileContent& content, IPackageMetadata& packages,
                     ISignatureVerifier* signatures = nullptr);

// Gathers the file facts of record once: creation times of file and
// folder, version strings, signature, Windows-folder flag. Announces the
// signature check in the window title and lets the window handle its
// events first; a refresh run from there may move or delete the record,
// so the facts gathered after it go to the record of the same process id,
// found again in `table`, or nowhere. Do not touch `record` after the call
// without finding it again.
void LoadDetails(CProcess& record, CProcesses& table, DetailsContext& context);
