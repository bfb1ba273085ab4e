#include <memory>

#include "details/Details.h"
#include "details/SystemFolders.h"
#include "monitor/Process.h"
#include "platform/FileContent.h"
#include "platform/FileSystem.h"
#include "platform/PackageMetadata.h"
#include "platform/SignatureVerifier.h"

std::int64_t GetFileCreationTime(IFileSystem& files, const std::string& path) {
    if (path.empty()) return 0;
    return files.GetBirthTime(path);
}

VersionStrings ReadFileVersionStrings(const std::string& path, IFileContent& content,
                                      IPackageMetadata& packages, std::uint16_t userLangId) {
    VersionStrings strings;
    // A file we may not read can still be known to the package database.
    std::unique_ptr<IReadableFile> file = content.OpenFile(path);
    if (file) {
        std::vector<std::uint8_t> buffer;
        switch (GetFileVersionInfo(*file, buffer, userLangId)) {
            case VersionInfoResult::Found:
                return ReadVersionStrings(buffer, userLangId);
            case VersionInfoResult::NoResource:
                return strings;
            case VersionInfoResult::NotProgram:
                break;
        }
    }
    packages.GetVersionStrings(path, strings);
    return strings;
}

bool VerifySignature(const std::string& path, IFileContent& content, IPackageMetadata& packages,
                     ISignatureVerifier* signatures) {
    if (signatures) return signatures->VerifySignature(path);
    std::unique_ptr<IReadableFile> file = content.OpenFile(path);
    if (file && IsWindowsProgram(*file)) return false;
    file.reset();
    return packages.VerifyFile(path);
}

ProgramFacts LoadProgramFacts(const std::string& path, const std::string& folder, DetailsContext& context) {
    ProgramFacts facts;
    if (path.empty()) return facts;
    facts.m_tFileCreated = GetFileCreationTime(context.files, path);
    facts.m_tFolderCreated = GetFileCreationTime(context.files, folder);
    facts.m_versionStrings =
        ReadFileVersionStrings(path, context.content, context.packages, context.userLangId);
    facts.m_bSigned = VerifySignature(path, context.content, context.packages, context.signatures);
    facts.m_bInWindowsFolder = IsWindowsOrSystemFolder(folder, context.files);
    return facts;
}

void LoadDetails(CProcess& record, DetailsContext& context) {
    if (record.m_bDetailsLoaded) return;
    record.m_bDetailsLoaded = true;
    const ProgramFacts facts = LoadProgramFacts(record.m_strPath, record.m_strFolder, context);
    record.m_tFileCreated = facts.m_tFileCreated;
    record.m_tFolderCreated = facts.m_tFolderCreated;
    record.m_versionStrings = facts.m_versionStrings;
    record.m_bSigned = facts.m_bSigned;
    record.m_bInWindowsFolder = facts.m_bInWindowsFolder;
}
