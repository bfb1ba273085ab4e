// loadwatch-cli: the list of busy programs on a console.
#include <unistd.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "actions/UninstallerSearch.h"
#include "cli/CommandLine.h"
#include "cli/DetailsCommand.h"
#include "cli/KnowledgeBaseCommand.h"
#include "cli/MetricsCommand.h"
#include "cli/WatchCommand.h"
#include "details/Details.h"
#include "details/UserLanguage.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "online/KnowledgeBaseAddress.h"
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
#include "platform/linux/TaskstatsExitSource.h"

int main(int argc, char** argv) {
    // Dates sent to the knowledge base follow the user's locale.
    std::setlocale(LC_TIME, "");
    CliOptions options;
    if (int exitCode = ParseCommandLine(argc, argv, options, stdout, stderr); exitCode >= 0) return exitCode;

    RaiseOpenFileLimit();
    CSystemClock clock;
    CProcfsProcessSource source;
    CPosixFileSystem files;
    CSockDiagNetworkSource network;
    // Listens only where the system allows it; silent otherwise.
    CTaskstatsExitSource exits;
    CProcesses processes({clock, source, files, &FindUninstaller, &network, &exits});
    // A binary given the capabilities sees other users' programs and their
    // disk activity, as the window does.
    EnablePrivilege("SeDebugPrivilege", true);
    if (options.detailsPid != 0) {
        CPosixFileContent content;
        COpensslDigests digests;
        CDpkgDatabase packages(content, digests);
        DetailsContext context{files, content, packages, GetUserDefaultLangID()};
        const KnowledgeBaseAddress address = ChooseKnowledgeBaseAddress(
            std::getenv("LOADWATCH_KB_URL"), std::getenv("XDG_RUNTIME_DIR"), files);
        if (!address.problem.empty()) std::fprintf(stderr, "loadwatch-cli: %s\n", address.problem.c_str());
        CCurlHttpClient http(ChooseCurlRoute(address.userSocket, address.socketPath));
        return RunDetailsWithPage(options.detailsPid, processes, context, http, files, address.baseUrl,
                                  stdout, stderr);
    }
    if (options.metrics)
        return RunMetrics(processes, {options.metricsAddress, options.quietPeriod, options.count}, stdout, stderr);
    return RunWatch(processes, options.count, stdout, ::isatty(STDOUT_FILENO) != 0, options.wide);
}
