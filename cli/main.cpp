// loadwatch-cli: the list of busy programs on a console.
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "actions/UninstallerSearch.h"
#include "cli/DetailsCommand.h"
#include "cli/KnowledgeBaseCommand.h"
#include "cli/WatchCommand.h"
#include "details/Details.h"
#include "details/DetailsHost.h"
#include "details/UserLanguage.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "platform/linux/CurlHttpClient.h"
#include "platform/linux/DpkgDatabase.h"
#include "platform/linux/OpensslDigests.h"
#include "platform/linux/PosixFileContent.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/Privilege.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/ResourceLimits.h"
#include "platform/linux/SockDiagNetworkSource.h"
#include "platform/linux/SystemClock.h"

namespace {
const char kUsage[] =
    "Usage: loadwatch-cli [--count N]\n"
    "       loadwatch-cli --details PID\n"
    "Shows, once a second, the programs that used the processor (100 ms or more\n"
    "in the last second) or the hard disk in the last 20 seconds, most recent first.\n"
    "\n"
    "  --count N   stop after N refreshes (default: run until interrupted)\n"
    "  --details PID\n"
    "              print the facts about the program of process PID: file and\n"
    "              folder creation times, version strings, signature, whether it\n"
    "              lies in a system folder, process start time; then the request\n"
    "              sent to the knowledge base and the page it returned\n"
    "  --help      show this text\n";

bool ParseCount(const char* text, long& count) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 1) return false;
    count = v;
    return true;
}

bool ParsePid(const char* text, std::uint32_t& pid) {
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || *text == '-' || v < 1 || v > UINT32_MAX) return false;
    pid = static_cast<std::uint32_t>(v);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    // Dates sent to the knowledge base follow the user's locale.
    std::setlocale(LC_TIME, "");
    long count = -1;
    std::uint32_t detailsPid = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--count") == 0) {
            if (i + 1 >= argc || !ParseCount(argv[i + 1], count)) {
                std::fprintf(stderr, "loadwatch-cli: --count needs a whole number of at least 1\n");
                return 2;
            }
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "--details") == 0) {
            if (i + 1 >= argc || !ParsePid(argv[i + 1], detailsPid)) {
                std::fprintf(stderr,
                             "loadwatch-cli: --details needs a process id (a whole number of at least 1)\n");
                return 2;
            }
            ++i;
            continue;
        }
        std::fprintf(stderr, "loadwatch-cli: unknown argument '%s' (see --help)\n", argv[i]);
        return 2;
    }

    RaiseOpenFileLimit();
    CSystemClock clock;
    CProcfsProcessSource source;
    CPosixFileSystem files;
    CSockDiagNetworkSource network;
    CProcesses processes({clock, source, files, &FindUninstaller, &network});
    // A binary given the capabilities sees other users' programs and their
    // disk activity, as the window does.
    EnablePrivilege("SeDebugPrivilege", true);
    if (detailsPid != 0) {
        CPosixFileContent content;
        COpensslDigests digests;
        CDpkgDatabase packages(content, digests);
        CNoWindowHost host;
        DetailsContext context{files, content, packages, host, GetUserDefaultLangID()};
        int status = RunDetails(detailsPid, processes, context, stdout, stderr);
        CProcess* record = status == 0 ? processes.FindByPid(detailsPid) : nullptr;
        if (!record) return status;
        CCurlHttpClient http;  // outlives the knowledge base that uses it
        CKnowledgeBase knowledgeBase(http, files, ChooseKnowledgeBaseUrl(std::getenv("LOADWATCH_KB_URL")));
        std::fputs("\n", stdout);
        PrintKnowledgeBasePage(*record, knowledgeBase, stdout);
        return 0;
    }
    return RunWatch(processes, count, stdout, ::isatty(STDOUT_FILENO) != 0);
}
