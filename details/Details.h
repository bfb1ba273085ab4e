#pragma once
#include <cstdint>
#include <string>

#include "details/VersionResource.h"
#include "monitor/ProgramFacts.h"

class CProcess;
class IFileContent;
class IFileSystem;
class IPackageMetadata;
class ISignatureVerifier;

// What the facts are read from. All must outlive the calls that use them.
// The package database answers one caller at a time: a context is used on
// one thread at a time.
struct DetailsContext {
    IFileSystem& files;
    IFileContent& content;
    IPackageMetadata& packages;
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

// The facts about the program file at path in folder: creation times of
// file and folder, version strings, signature, Windows-folder flag. All
// defaults for an empty path. May take long (the signature check can read
// the whole file); touches nothing but its arguments, so it can run on any
// thread.
ProgramFacts LoadProgramFacts(const std::string& path, const std::string& folder, DetailsContext& context);

// For the console: the facts of record, gathered once per record.
void LoadDetails(CProcess& record, DetailsContext& context);
