// loadwatch.exe: the window on Windows (composition root).
#include <clocale>
#include <cstdlib>

#include "actions/ProgramActions.h"
#include "actions/PromotionPanel.h"
#include "actions/ScanHandOff.h"
#include "actions/UninstallerSearch.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "online/KnowledgeBaseAddress.h"
#include "platform/windows/NoPackageMetadata.h"
#include "platform/windows/RunasRestart.h"
#include "platform/windows/ShellDesktop.h"
#include "platform/windows/SystemClock.h"
#include "platform/windows/ToolhelpProcessSource.h"
#include "platform/windows/UserLanguage.h"
#include "platform/windows/Win32.h"
#include "platform/windows/Win32Clipboard.h"
#include "platform/windows/Win32FileContent.h"
#include "platform/windows/Win32FileSystem.h"
#include "platform/windows/Win32Libraries.h"
#include "platform/windows/Win32ProcessControl.h"
#include "platform/windows/Win32ProgramStarter.h"
#include "platform/windows/WinInetHttpClient.h"
#include "platform/windows/WinTrustVerifier.h"
#include "winapp/HtmlView.h"
#include "winapp/Win32Dialog.h"
#include "winapp/Win32WindowServices.h"
#include "window/ActionCommands.h"
#include "window/AutostartSwitch.h"
// after Win32.h
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Dates sent to the knowledge base follow the user's locale.
    std::setlocale(LC_TIME, "");
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!CHtmlView::Register(instance)) return 2;

    CWin32Libraries libraries;
    CSystemClock clock;
    CToolhelpProcessSource source(libraries);
    CWin32FileSystem files;
    CWin32FileContent content;
    CNoPackageMetadata packages;
    CWinTrustVerifier signatures(libraries);
    CWinInetHttpClient http;
    CKnowledgeBase knowledgeBase(http, files, ChooseKnowledgeBaseUrl(std::getenv("LOADWATCH_KB_URL")));
    // The uninstaller is looked for when a program's details load.
    CProcesses processes({clock, source, files});
    CWin32WindowServices services;
    CShellDesktop desktop;
    CWin32Clipboard clipboard;
    CWin32ProgramStarter starter;
    CWin32ProcessControl control;

    CWin32Dialog dialog(instance, {processes, files, content, packages, GetUserLanguageId(), knowledgeBase,
                                   services, &signatures, &FindUninstaller});
    // The copy started with administrator rights takes over; this one ends
    // with exit code 1.
    CRunasRestart restart(nullptr, [&dialog] { dialog.End(1); });
    // The dialog asks the actions' questions, so they come after it.
    CProgramActions actions(processes, dialog, {control, desktop, starter, restart});
    CScanHandOff scan(dialog, clipboard, desktop);
    CPromotionPanel promotion(desktop);
    CActionCommands commands(actions, scan, promotion);
    dialog.Window().SetCommands(commands);
    if (!dialog.Create(HasAutostartSwitch({::GetCommandLineA()}))) return 2;
    restart.SetOwner(dialog.Handle());
    return dialog.Run();
}
