#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "monitor/QueryHandle.h"
#include "platform/ProcessSource.h"
#include "platform/VersionStrings.h"

class IFileSystem;

// Opaque id of a top-level window; 0 is none.
using WindowId = std::uintptr_t;

// The uninstaller's path beside a program in folder, or empty.
using UninstallerFinder = std::string (*)(const std::string& folder, IFileSystem& files);

// One process as the monitor knows it, kept between snapshots. Times are
// seconds since 1970 UTC, 0 = never; FILETIME values are 100-ns units.
class CProcess {
public:
    std::uint32_t m_dwPid = 0;  // 0 once the process has ended
    CQueryHandle m_hProcess;    // open only during a sample
    std::int64_t m_tLastSeen = 0;
    std::string m_strFolder;
    std::string m_strFileName;
    std::string m_strPath;
    std::string m_strError;
    std::int64_t m_tFileCreated = 0;
    std::int64_t m_tFolderCreated = 0;
    std::string m_strUninstaller;
    // The last readings of the process's counters.
    std::uint64_t m_ftCreation = 0, m_ftKernel = 0, m_ftUser = 0;
    std::uint64_t m_ullReadBytes = 0, m_ullWriteBytes = 0;
    // Busy processes can keep a kernel time or read count of 0 for long, so
    // "there was a previous reading" is kept explicitly, not read off a zero.
    bool m_bHasTimes = false, m_bHasIo = false, m_bHasNetwork = false;
    WindowId m_hMainWnd = 0;
    // Per kind of activity: when a sample last saw it, and until when it is
    // listed.
    std::int64_t m_tLastDisk = 0, m_tLastNetwork = 0, m_tLastProcessor = 0;
    std::int64_t m_tDiskUntil = 0, m_tNetworkUntil = 0, m_tProcessorUntil = 0;
    std::int64_t m_tKeepUntil = 0;
    bool m_bDetailsLoaded = false, m_bSigned = false, m_bInWindowsFolder = false;
    VersionStrings m_versionStrings;
    bool m_bHtmlComposed = false;
    std::string m_strHtml;

    // What the last sample saw beside the times: the kernel's name for the
    // program, its exec stamp, the parent, the children's processor time.
    ProcessExtras m_extras;
    // The program file was deleted or replaced since the program started:
    // m_strPath names what lies there now, if anything.
    bool m_bFileReplaced = false;
    // The program runs from memory and has no file; it is named by the
    // kernel's name.
    bool m_bNoFile = false;

    // Amounts between the last two samples: share of one processor core and
    // bytes per second.
    double m_dProcessorShare = 0;
    std::uint64_t m_ullDiskReadRate = 0, m_ullDiskWriteRate = 0;
    std::uint64_t m_ullNetReceiveRate = 0, m_ullNetSendRate = 0;
    // The snapshot (clock) the amounts were measured at; 0 never.
    std::int64_t m_tAmountsAt = 0;

    // A record that stands for processes that ended between two snapshots,
    // counted together per program (its id is always 0): its key, and how
    // many ended before the last snapshot that met some. Empty and 0 for the
    // record of one process.
    std::string m_strGroupKey;
    int m_nEndedCount = 0;

    // Opens the query handle if it is not open; null if that failed (a later
    // call tries again).
    IProcessQuery* GetQueryHandle(IProcessSource& source);
    void CloseQueryHandle();

    // Stores the program path, derives folder and file name, and, given a
    // finder, searches the folder for an uninstaller.
    void SetPath(const std::string& path, IFileSystem& files, UninstallerFinder findUninstaller = nullptr);

    // Forgets everything learnt about the program file, for a process that
    // now runs another program.
    void ForgetProgram();

    // What the "Program" column shows: the file name, else the error text;
    // a group of ended processes says how many there were.
    std::string ProgramText() const;
};
