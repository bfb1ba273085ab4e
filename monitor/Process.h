#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ProcessSource.h"

class CKnowledgeBase;
class CProcesses;
class IFileSystem;
struct DetailsContext;

// Opaque id of a top-level window; 0 is none.
using WindowId = std::uintptr_t;

// One process as the monitor knows it, kept between snapshots. Times are
// seconds since 1970 UTC, 0 = never; FILETIME values are 100-ns units.
class CProcess {
public:
    CProcess() = default;
    ~CProcess() = default;
    // Copies every field but the query handle: a copy never shares an open
    // handle (the handle is only open while one sample is in progress).
    CProcess(const CProcess& other);
    CProcess& operator=(const CProcess& other);
    CProcess(CProcess&&) noexcept = default;
    CProcess& operator=(CProcess&&) noexcept = default;

    std::uint32_t m_dwPid = 0;  // 0 once the process has ended
    std::unique_ptr<IProcessQuery> m_hProcess;
    std::int64_t m_tLastSeen = 0;
    std::string m_strFolder;
    std::string m_strFileName;
    std::string m_strPath;
    std::string m_strError;
    std::int64_t m_tFileCreated = 0;
    std::int64_t m_tFolderCreated = 0;
    std::string m_strUninstaller;
    std::uint64_t m_ftCreation = 0;
    std::uint64_t m_ftKernel = 0;
    std::uint64_t m_ftUser = 0;
    std::uint64_t m_ullReadBytes = 0;
    std::uint64_t m_ullWriteBytes = 0;
    // Busy processes can keep a kernel time or read count of 0 for long, so
    // "there was a previous reading" is kept explicitly, not read off a zero.
    bool m_bHasTimes = false;
    bool m_bHasIo = false;
    WindowId m_hMainWnd = 0;
    std::int64_t m_tLastDisk = 0;
    std::int64_t m_tLastNetwork = 0;
    std::int64_t m_tLastProcessor = 0;
    std::int64_t m_tDiskUntil = 0;
    std::int64_t m_tNetworkUntil = 0;
    std::int64_t m_tProcessorUntil = 0;
    std::int64_t m_tKeepUntil = 0;
    bool m_bDetailsLoaded = false;
    bool m_bSigned = false;
    bool m_bInWindowsFolder = false;
    std::string m_strProductName;
    std::string m_strFileVersion;
    std::string m_strFileDescription;
    std::string m_strCompanyName;
    std::string m_strLegalCopyright;
    std::string m_strComments;
    std::string m_strInternalName;
    bool m_bHtmlComposed = false;
    std::string m_strHtml;

    // Opens the query handle if it is not open; null if that failed (a later
    // call tries again).
    IProcessQuery* GetQueryHandle(IProcessSource& source);
    void CloseQueryHandle();

    // Stores the program path, derives folder and file name, and searches the
    // folder for an uninstaller.
    void SetPath(const std::string& path, IFileSystem& files);

    // Fetches the details page once: fills m_strHtml with the knowledge
    // base's reply, or with the no-data text, in which case the next call
    // asks again. Makes no request for a record without a path.
    void QueryKnowledgeBase(CKnowledgeBase& knowledgeBase);

    // Gathers the file facts once per record: creation times of file and
    // folder, version strings, signature, Windows-folder flag. Announces the
    // signature check in the window title and lets the window handle its
    // events first; a refresh run from there may move or delete this record,
    // so the facts gathered after it go to the record of the same process id,
    // found again in `table`, or nowhere. Do not touch this record after the
    // call without finding it again.
    void LoadDetails(CProcesses& table, DetailsContext& context);
};
