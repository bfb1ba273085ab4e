#include "app/LoadwatchApp.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "actions/ProgramActions.h"
#include "actions/PromotionPanel.h"
#include "actions/ScanHandOff.h"
#include "actions/UninstallerSearch.h"
#include "app/DesktopServices.h"
#include "app/LoadwatchDlg.h"
#include "app/QtClipboard.h"
#include "app/QtDesktop.h"
#include "details/UserLanguage.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "online/KnowledgeBaseAddress.h"
#include "platform/linux/CurlHttpClient.h"
#include "platform/linux/DpkgDatabase.h"
#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperProcessControl.h"
#include "platform/linux/HelperProcessSource.h"
#include "platform/linux/HelperSocketLister.h"
#include "platform/linux/OpensslDigests.h"
#include "platform/linux/PosixFileContent.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/PosixProgramStarter.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/ResourceLimits.h"
#include "platform/linux/SockDiagNetworkSource.h"
#include "platform/linux/TaskstatsExitSource.h"
#include "platform/linux/SystemClock.h"
#include "window/ActionCommands.h"
#include "window/AutostartSwitch.h"

int CLoadwatchApp::InitInstance(const std::vector<std::string>& arguments) {
    RaiseOpenFileLimit();
    CSystemClock clock;
    // The helper, once link 1012 started it, answers what the sampler and
    // the terminate button are refused; until then both work alone.
    CHelperConnection helper(CHelperConnection::PkexecOptions());
    CProcfsProcessSource procfs;
    CHelperProcessSource source(procfs, helper);
    CHelperProcessControl control(helper);
    CPosixFileSystem files;
    CPosixFileContent content;
    COpensslDigests digests;
    CDpkgDatabase packages(content, digests);
    const KnowledgeBaseAddress address =
        ChooseKnowledgeBaseAddress(std::getenv("LOADWATCH_KB_URL"), std::getenv("XDG_RUNTIME_DIR"), files);
    if (!address.problem.empty()) std::fprintf(stderr, "loadwatch: %s\n", address.problem.c_str());
    CCurlHttpClient http(ChooseCurlRoute(address.userSocket, address.socketPath));
    CKnowledgeBase knowledgeBase(http, files, address.baseUrl);
    CHelperSocketLister sockets(helper);
    CSockDiagNetworkSource network("/proc", &sockets);
    // Ends of processes: listens only where the system allows it (root, CAP_NET_ADMIN).
    CTaskstatsExitSource exits;
    // The uninstaller is looked for when a program's details load, off the
    // window's thread, not for every new process.
    CProcesses processes({clock, source, files, nullptr, &network, &exits});
    CDesktopServices services;
    CQtDesktop desktop;
    CQtClipboard clipboard;
    CPosixProgramStarter starter;

    CLoadwatchDlg dialog(
        {processes, files, content, packages, GetUserDefaultLangID(), knowledgeBase, services, nullptr,
         &FindUninstaller});
    // The dialog asks the actions' questions, so they come after it; no
    // event runs between their end and the dialog's.
    CProgramActions actions(processes, dialog, {control, desktop, starter, helper});
    CScanHandOff scan(dialog, clipboard, desktop);
    CPromotionPanel promotion(desktop);
    CActionCommands commands(actions, scan, promotion);
    dialog.Window().SetCommands(commands);
    dialog.InitDialog(HasAutostartSwitch(arguments));
    // Not exec(): a modal dialog's loop would end when the window hides in
    // the tray. The program ends when the dialog is done.
    QObject::connect(&dialog, &QDialog::finished, qApp, &QCoreApplication::quit);
    dialog.show();
    QCoreApplication::exec();
    return 0;
}
