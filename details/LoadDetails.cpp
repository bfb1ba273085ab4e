#include <memory>

#include "details/Details.h"
#include "details/DetailsHost.h"
#include "details/PackageDatabase.h"
#include "details/SystemFolders.h"
#include "details/Text.h"
#include "monitor/Processes.h"
#include "platform/FileContent.h"
#include "platform/FileSystem.h"
#include "res/StringTable.h"

std::int64_t GetFileCreationTime(IFileSystem& files, const std::string& path) {
    if (path.empty()) return 0;
    return files.GetBirthTime(path);
}

VersionStrings ReadFileVersionStrings(const std::string& path, IFileContent& content,
                                      CPackageDatabase& packages, std::uint16_t userLangId) {
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

bool VerifySignature(const std::string& path, IFileContent& content, CPackageDatabase& packages) {
    std::unique_ptr<IReadableFile> file = content.OpenFile(path);
    if (file && IsWindowsProgram(*file)) return false;
    file.reset();
    return packages.VerifyFile(path);
}

void CProcess::LoadDetails(CProcesses& table, DetailsContext& context) {
    if (m_bDetailsLoaded) return;
    m_bDetailsLoaded = true;
    if (m_strPath.empty()) return;
    m_tFileCreated = GetFileCreationTime(context.files, m_strPath);
    m_tFolderCreated = GetFileCreationTime(context.files, m_strFolder);
    VersionStrings v =
        ReadFileVersionStrings(m_strPath, context.content, context.packages, context.userLangId);
    m_strProductName = std::move(v.productName);
    m_strFileVersion = std::move(v.fileVersion);
    m_strFileDescription = std::move(v.fileDescription);
    m_strCompanyName = std::move(v.companyName);
    m_strLegalCopyright = std::move(v.legalCopyright);
    m_strComments = std::move(v.comments);
    m_strInternalName = std::move(v.internalName);

    // The pump may run a refresh that moves or deletes this record: from
    // here on only copies are used, and the results go to the record found
    // again by process id.
    const std::uint32_t pid = m_dwPid;
    const std::string path = m_strPath;
    const std::string folder = m_strFolder;
    const std::string title = LoadText(IDS_TITLE);
    context.host.SetTitle(title + " - " + LoadText(IDS_CHECKING_SIGNATURE));
    context.host.PumpMessages();
    const bool isSigned = VerifySignature(path, context.content, context.packages);
    context.host.SetTitle(title);

    CProcess* record = table.FindByPid(pid);
    // A record made anew for the id meanwhile loads its own details.
    if (!record || !record->m_bDetailsLoaded || record->m_strPath != path) return;
    record->m_bSigned = isSigned;
    record->m_bInWindowsFolder = IsWindowsOrSystemFolder(folder, context.files);
}
