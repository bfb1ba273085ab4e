#pragma once
#include <cstdint>
#include <string>

#include "details/Details.h"
#include "details/DetailsHost.h"
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
};

// The main dialog's behaviour, free of any toolkit: start-up, the refresh
// on every tick, the selection followed into the details panel and the
// buttons, link clicks, the fit to small screens and the notification area.
// The view calls the On... handlers; the behaviour writes back through it.
//
// Details are loaded with the window's events handled in between, so a
// refresh can run inside ShowDetails: records are kept by process id and
// found again after every such point, never held across it.
class CLoadwatchWindow : public IDetailsHost {
public:
    CLoadwatchWindow(IDialogView& view, WindowPlatform platform);

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
    // Loads and shows the details of the process pid, if it is still the
    // selected one when its details are in.
    void ShowDetails(std::uint32_t pid);
    void FitToScreen();

    CTrayController& Tray() { return m_tray; }

    // IDetailsHost
    void SetTitle(const std::string& title) override;
    void PumpMessages() override;

private:
    void Refresh();

    IDialogView& m_view;
    WindowPlatform m_platform;
    DetailsContext m_details;
    CTrayController m_tray;
    CNoWindowCommands m_noCommands;
    IWindowCommands* m_commands = &m_noCommands;
    // Link 1012 is hidden because what it started runs.
    bool m_bElevated = false;
};
