#include "app/LoadwatchApp.h"

#include <QApplication>
#include <cstdlib>

#include "actions/UninstallerSearch.h"
#include "app/DesktopServices.h"
#include "app/LoadwatchDlg.h"
#include "details/UserLanguage.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "platform/linux/CurlHttpClient.h"
#include "platform/linux/DpkgDatabase.h"
#include "platform/linux/OpensslDigests.h"
#include "platform/linux/PosixFileContent.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/ResourceLimits.h"
#include "platform/linux/SystemClock.h"
#include "res/StringTable.h"
#include "res/Text.h"
#include "window/CommandLine.h"
#include "window/WindowCommands.h"

namespace {
std::string KnowledgeBaseUrl() {
    const char* fromEnvironment = std::getenv("LOADWATCH_KB_URL");
    return fromEnvironment && *fromEnvironment ? fromEnvironment : LoadText(IDS_KB_BASE_URL);
}
}  // namespace

int CLoadwatchApp::InitInstance(const std::vector<std::string>& arguments) {
    RaiseOpenFileLimit();
    CSystemClock clock;
    CProcfsProcessSource source;
    CPosixFileSystem files;
    CPosixFileContent content;
    COpensslDigests digests;
    CDpkgDatabase packages(content, digests);
    CCurlHttpClient http;
    CKnowledgeBase knowledgeBase(http, files, KnowledgeBaseUrl());
    CProcesses processes({clock, source, files, &FindUninstaller});
    CDesktopServices services;
    CNoWindowCommands commands;

    CLoadwatchDlg dialog(
        {processes, files, content, packages, GetUserDefaultLangID(), knowledgeBase, services, commands});
    dialog.InitDialog(HasAutostartSwitch(arguments));
    // Not exec(): a modal dialog's loop would end when the window hides in
    // the tray. The program ends when the dialog is done.
    QObject::connect(&dialog, &QDialog::finished, qApp, &QCoreApplication::quit);
    dialog.show();
    QCoreApplication::exec();
    return 0;
}
