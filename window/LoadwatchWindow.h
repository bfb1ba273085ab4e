#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "details/Details.h"
#include "window/PageLoader.h"
#include "window/TrayController.h"
#include "window/WindowCommands.h"

class CKnowledgeBase;
class CProcess;
class CProcesses;
class IDialogView;
class IFileContent;
class IFileSystem;
class IPackageMetadata;
class ISignatureVerifier;
class IWindowServices;

// What the dialog works with, handed in by the composition root. All must
// outlive the dialog.
struct WindowPlatform {
    CProcesses& processes;
    IFileSystem& files;
    IFileContent& content;
    IPackageMetadata& packages;
    std::uint16_t userLangId;
    CKnowledgeBase& knowledgeBase;
    IWindowServices& services;
    // The system's own signature check; null where it has none.
    ISignatureVerifier* signatures = nullptr;
    // Looks for a program's uninstaller when its details load; null: the
    // table's own search (if any) is all there is.
    UninstallerFinder findUninstaller = nullptr;
};

// The main dialog's behaviour, free of any toolkit: start-up, the refresh
// on every tick, the selection followed into the details panel and the
// buttons, link clicks, the fit to small screens and the notification area.
// The view calls the On... handlers; the behaviour writes back through it.
//
// No handler waits for anything slow: a selection starts the load of the
// program's facts and page on a worker and returns; the result comes back
// through the view's poster as a value, is kept by program, and is shown
// only if that program is still the one selected.
class CLoadwatchWindow {
public:
    CLoadwatchWindow(IDialogView& view, WindowPlatform platform);
    // Cuts loads in flight short and waits for the workers.
    ~CLoadwatchWindow();

    // What the buttons and links do; none until set. The actions ask their
    // questions through the view, so they are made after it and wired here.
    // They must outlive the dialog or be replaced first.
    void SetCommands(IWindowCommands& commands) { m_commands = &commands; }

    // Before the dialog is first shown: title, columns, links, privilege,
    // first snapshot, the refresh timer, the panel's first text, and the
    // autostart timer when asked for.
    void OnInitDialog(bool fromAutostart);
    // Timers 100 and 101, and the notify ids of the links.
    void OnTimer(unsigned id);
    // A selection or click notification of the list.
    void OnListNotify() { OnSelectionChanged(); }
    void OnSelectionChanged();
    // The application was activated or deactivated.
    void OnActivateApp();
    // A button or a clickable static of the template.
    void OnCommand(int id);
    // The user minimised the window: true when it went to the tray, false
    // when the view should minimise as usual.
    bool OnMinimize() { return m_tray.OnMinimizeRequest(); }
    // A mouse button was released over the tray icon.
    void OnTrayIconClicked() { m_tray.OnIconClicked(); }
    void OnAbout();
    // Whether the dialog may close (close box, Alt+F4).
    bool OnClose();

    void UpdateButtons(const CProcess& record);
    void ClearDetails();
    // Shows the selected record's page if it is in, else says that it
    // loads and starts what is missing.
    void ShowDetails(CProcess& record);
    void FitToScreen();

    CTrayController& Tray() { return m_tray; }
    const CPageLoader& Pages() const { return *m_pages; }

private:
    void Refresh();
    // A load step of the program `key` is in.
    void OnPageLoaded(const PageKey& key);
    void ShowPage(const PageKey& key);

    IDialogView& m_view;
    WindowPlatform m_platform;
    CTrayController m_tray;
    // The program whose page the panel is for, if any.
    std::optional<PageKey> m_shown;
    CNoWindowCommands m_noCommands;
    IWindowCommands* m_commands = &m_noCommands;
    // Link 1012 is hidden because what it started runs.
    bool m_elevated = false;
    // Last: its workers stop before anything they use goes.
    std::unique_ptr<CPageLoader> m_pages;
};
