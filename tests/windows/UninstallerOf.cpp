// lw-test-uninstaller-of PROGRAM: starts PROGRAM (a full path) and prints
// what the program's own monitor, built as loadwatch.exe builds it, records
// for that process: its path and the uninstaller found beside it; then ends
// it. Exit 0 with an uninstaller, 1 without one, 2 when the process cannot
// be started or is not listed. The installer's test reads it.
#include <cstdio>

#include "actions/UninstallerSearch.h"
#include "monitor/Processes.h"
#include "platform/windows/SystemClock.h"
#include "platform/windows/ToolhelpProcessSource.h"
#include "platform/windows/Win32FileSystem.h"
#include "platform/windows/Win32Libraries.h"
#include "tests/windows/ChildProcess.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lw-test-uninstaller-of PROGRAM\n");
        return 2;
    }
    ChildProcess child(argv[1], "");
    if (child.Pid() == 0) {
        std::printf("%s does not start\n", argv[1]);
        return 2;
    }
    CWin32Libraries libraries;
    CSystemClock clock;
    CToolhelpProcessSource source(libraries);
    CWin32FileSystem files;
    CProcesses processes({clock, source, files, &FindUninstaller});
    processes.TakeSnapshot();
    const CProcess* record = processes.FindByPid(child.Pid());
    if (!record) {
        std::printf("process %lu is not listed\n", static_cast<unsigned long>(child.Pid()));
        return 2;
    }
    std::printf("pid: %lu\npath: %s\nuninstaller: %s\n", static_cast<unsigned long>(record->m_dwPid),
                record->m_strPath.c_str(), record->m_strUninstaller.c_str());
    return record->m_strUninstaller.empty() ? 1 : 0;
}
