#include "monitor/Process.h"

#include "platform/FileSystem.h"
#include "res/StringTable.h"
#include "res/TextFormat.h"

IProcessQuery* CProcess::GetQueryHandle(IProcessSource& source) {
    if (!m_hProcess.IsOpen()) m_hProcess.reset(source.OpenQuery(m_dwPid));
    return m_hProcess.get();
}

void CProcess::CloseQueryHandle() { m_hProcess.reset(); }

void CProcess::SetPath(const std::string& path, IFileSystem& files, UninstallerFinder findUninstaller) {
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
    if (!findUninstaller) return;
    std::string uninstaller = findUninstaller(m_strFolder, files);
    if (!uninstaller.empty()) m_strUninstaller = uninstaller;
}

void CProcess::ForgetProgram() {
    CProcess fresh;
    m_strFolder = fresh.m_strFolder;
    m_strFileName = fresh.m_strFileName;
    m_strPath = fresh.m_strPath;
    m_strError = fresh.m_strError;
    m_tFileCreated = m_tFolderCreated = 0;
    m_strUninstaller.clear();
    m_hMainWnd = 0;
    m_bDetailsLoaded = m_bSigned = m_bInWindowsFolder = false;
    m_versionStrings = fresh.m_versionStrings;
    m_bHtmlComposed = false;
    m_strHtml.clear();
    m_bFileReplaced = m_bNoFile = false;
}

std::string CProcess::ProgramText() const {
    const std::string& name = m_strFileName.empty() ? m_strError : m_strFileName;
    if (m_nEndedCount > 1) return FormatText(LoadText(IDS_ENDED_COUNT).c_str(), name.c_str(), m_nEndedCount);
    return name;
}
