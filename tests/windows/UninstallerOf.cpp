// lw-test-uninstaller-of PROGRAM: what the program's own monitor, built as
// loadwatch.exe builds it, records for the running process of that file:
// its id, its path and the uninstaller found beside it. Exit 0 with an
// uninstaller, 1 without one, 2 when no process of that file shows up
// within 20 s. The installer's test reads it.
#include <windows.h>

#include <cstdio>

#include "actions/UninstallerSearch.h"
#include "monitor/Processes.h"
#include "platform/windows/SystemClock.h"
#include "platform/windows/ToolhelpProcessSource.h"
#include "platform/windows/Win32FileSystem.h"
#include "platform/windows/Win32Libraries.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lw-test-uninstaller-of PROGRAM\n");
        return 2;
    }
    CWin32Libraries libraries;
    CSystemClock clock;
    CToolhelpProcessSource source(libraries);
    CWin32FileSystem files;
    CProcesses processes({clock, source, files, &FindUninstaller});
    // The program may still be starting.
    for (int attempt = 0; attempt < 100; ++attempt) {
        processes.TakeSnapshot();
        for (int i = 0; i < processes.GetSize(); ++i) {
            const CProcess& p = processes[i];
            if (p.m_dwPid == 0 || ::lstrcmpiA(p.m_strPath.c_str(), argv[1]) != 0) continue;
            std::printf("pid: %lu\npath: %s\nuninstaller: %s\n", static_cast<unsigned long>(p.m_dwPid),
                        p.m_strPath.c_str(), p.m_strUninstaller.c_str());
            return p.m_strUninstaller.empty() ? 1 : 0;
        }
        ::Sleep(200);
    }
    std::printf("no process of %s\n", argv[1]);
    return 2;
}
