// loadwatch-cli for Windows: the list of busy programs on a console.
#include <io.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "actions/UninstallerSearch.h"
#include "cli/CommandLine.h"
#include "cli/DetailsCommand.h"
#include "cli/KnowledgeBaseCommand.h"
#include "cli/WatchCommand.h"
#include "details/Details.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "online/KnowledgeBaseAddress.h"
#include "platform/windows/NoPackageMetadata.h"
#include "platform/windows/Privilege.h"
#include "platform/windows/SystemClock.h"
#include "platform/windows/ToolhelpProcessSource.h"
#include "platform/windows/UserLanguage.h"
#include "platform/windows/Win32.h"
#include "platform/windows/Win32FileContent.h"
#include "platform/windows/Win32FileSystem.h"
#include "platform/windows/Win32Libraries.h"
#include "platform/windows/WinInetHttpClient.h"
#include "platform/windows/WinTrustVerifier.h"

namespace {
// A console shows the program's UTF-8 text as such once told. Colours need
// one that understands terminal escapes (Windows 10 and up, once asked);
// anything else gets plain text.
bool StdoutTakesEscapes() {
    if (!::_isatty(::_fileno(stdout))) return false;
    HANDLE console = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!::GetConsoleMode(console, &mode)) return false;
    ::SetConsoleOutputCP(CP_UTF8);
    return ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != FALSE;
}
}  // namespace

int main(int argc, char** argv) {
    // Dates sent to the knowledge base follow the user's locale.
    std::setlocale(LC_TIME, "");
    CliOptions options;
    if (int exitCode = ParseCommandLine(argc, argv, options, stdout, stderr); exitCode >= 0) return exitCode;

    CWin32Libraries libraries;
    CSystemClock clock;
    CToolhelpProcessSource source(libraries);
    CWin32FileSystem files;
    CProcesses processes({clock, source, files, &FindUninstaller});
    // With the debug privilege, other users' and system processes open too.
    EnablePrivilege("SeDebugPrivilege", true);
    if (options.metrics) {
        std::fputs("loadwatch-cli: --metrics is not available on this system\n", stderr);
        return 2;
    }
    if (options.detailsPid != 0) {
        CWin32FileContent content;
        CNoPackageMetadata packages;
        CWinTrustVerifier signatures(libraries);
        DetailsContext context{files, content, packages, GetUserLanguageId(), &signatures};
        CWinInetHttpClient http;
        return RunDetailsWithPage(options.detailsPid, processes, context, http, files,
                                  ChooseKnowledgeBaseUrl(std::getenv("LOADWATCH_KB_URL")), stdout, stderr);
    }
    return RunWatch(processes, options.count, stdout, StdoutTakesEscapes(), options.wide);
}
