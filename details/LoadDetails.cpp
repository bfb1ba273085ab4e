#include <memory>

#include "details/Details.h"
#include "details/DetailsHost.h"
#include "details/SystemFolders.h"
#include "monitor/Processes.h"
#include "platform/FileContent.h"
#include "platform/FileSystem.h"
#include "platform/PackageMetadata.h"
#include "platform/SignatureVerifier.h"
#include "res/StringTable.h"
#include "res/Text.h"

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

void LoadDetails(CProcess& record, CProcesses& table, DetailsContext& context) {
    if (record.m_bDetailsLoaded) return;
    record.m_bDetailsLoaded = true;
    if (record.m_strPath.empty()) return;
    record.m_tFileCreated = GetFileCreationTime(context.files, record.m_strPath);
    record.m_tFolderCreated = GetFileCreationTime(context.files, record.m_strFolder);
    record.m_versionStrings =
        ReadFileVersionStrings(record.m_strPath, context.content, context.packages, context.userLangId);

    // The pump may run a refresh that moves or deletes this record: from
    // here on only copies are used, and the results go to the record found
    // again by process id.
    const std::uint32_t pid = record.m_dwPid;
    const std::string path = record.m_strPath;
    const std::string folder = record.m_strFolder;
    const std::string title = LoadText(IDS_TITLE);
    context.host.SetTitle(title + " - " + LoadText(IDS_CHECKING_SIGNATURE));
    context.host.PumpMessages();
    const bool isSigned = VerifySignature(path, context.content, context.packages, context.signatures);
    context.host.SetTitle(title);

    CProcess* found = table.FindByPid(pid);
    // A record made anew for the id meanwhile loads its own details.
    if (!found || !found->m_bDetailsLoaded || found->m_strPath != path) return;
    found->m_bSigned = isSigned;
    found->m_bInWindowsFolder = IsWindowsOrSystemFolder(folder, context.files);
}
