#include "monitor/Process.h"

#include "actions/UninstallerSearch.h"
#include "platform/FileSystem.h"

CProcess::CProcess(const CProcess& other) { *this = other; }

CProcess& CProcess::operator=(const CProcess& other) {
    if (this == &other) return *this;
    m_dwPid = other.m_dwPid;
    m_hProcess.reset();
    m_tLastSeen = other.m_tLastSeen;
    m_strFolder = other.m_strFolder;
    m_strFileName = other.m_strFileName;
    m_strPath = other.m_strPath;
    m_strError = other.m_strError;
    m_tFileCreated = other.m_tFileCreated;
    m_tFolderCreated = other.m_tFolderCreated;
    m_strUninstaller = other.m_strUninstaller;
    m_ftCreation = other.m_ftCreation;
    m_ftKernel = other.m_ftKernel;
    m_ftUser = other.m_ftUser;
    m_ullReadBytes = other.m_ullReadBytes;
    m_ullWriteBytes = other.m_ullWriteBytes;
    m_bHasTimes = other.m_bHasTimes;
    m_bHasIo = other.m_bHasIo;
    m_hMainWnd = other.m_hMainWnd;
    m_tLastDisk = other.m_tLastDisk;
    m_tLastNetwork = other.m_tLastNetwork;
    m_tLastProcessor = other.m_tLastProcessor;
    m_tDiskUntil = other.m_tDiskUntil;
    m_tNetworkUntil = other.m_tNetworkUntil;
    m_tProcessorUntil = other.m_tProcessorUntil;
    m_tKeepUntil = other.m_tKeepUntil;
    m_bDetailsLoaded = other.m_bDetailsLoaded;
    m_bSigned = other.m_bSigned;
    m_bInWindowsFolder = other.m_bInWindowsFolder;
    m_strProductName = other.m_strProductName;
    m_strFileVersion = other.m_strFileVersion;
    m_strFileDescription = other.m_strFileDescription;
    m_strCompanyName = other.m_strCompanyName;
    m_strLegalCopyright = other.m_strLegalCopyright;
    m_strComments = other.m_strComments;
    m_strInternalName = other.m_strInternalName;
    m_bHtmlComposed = other.m_bHtmlComposed;
    m_strHtml = other.m_strHtml;
    return *this;
}

IProcessQuery* CProcess::GetQueryHandle(IProcessSource& source) {
    if (!m_hProcess) m_hProcess = source.OpenQuery(m_dwPid);
    return m_hProcess.get();
}

void CProcess::CloseQueryHandle() { m_hProcess.reset(); }

void CProcess::SetPath(const std::string& path, IFileSystem& files) {
    m_strPath = path;
    std::string p = path;
    // A native "\??\C:\..." path becomes the plain drive path.
    if (p.size() >= 7 && p.compare(0, 4, "\\??\\") == 0 && p[5] == ':') p.erase(0, 4);
    size_t cut = p.find_last_of("\\/");
    if (cut == std::string::npos) {
        m_strFolder = p;
        m_strFileName = p;
    } else {
        m_strFolder = p.substr(0, cut);
        m_strFileName = p.substr(cut + 1);
    }
    std::string uninstaller = FindUninstaller(m_strFolder, files);
    if (!uninstaller.empty()) m_strUninstaller = uninstaller;
}
