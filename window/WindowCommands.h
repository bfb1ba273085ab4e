#pragma once

// What the dialog's buttons, links and promotion panel do. Every method is
// a no-op here: the actions library brings the real ones, and the dialog
// only decides when each is called. Each starts from the selected program
// itself (none selected: nothing happens).
class IWindowCommands {
public:
    virtual ~IWindowCommands() = default;
    virtual void OnProgramProperties() {}                    // button 1002
    virtual void OnOpenFolder() {}                           // button 1003
    virtual void OnCloseProgram() {}                         // button 1004
    virtual void OnTerminateProcess() {}                     // button 1005
    virtual void OnVirusScan(int /*service 1 or 2*/) {}      // buttons 1006, 1007
    virtual void OnUninstallProgram() {}                     // button 1008
    virtual void OnHomePage() {}                             // link 1010
    virtual void RestartAsAdministrator() {}                 // link 1012
    virtual void OpenPromotionPage(int /*entry 1 to 3*/) {}  // links 1017-1019, texts and icons 1021-1026
    // Whether the dialog may close after the close box or Alt+F4.
    virtual bool OnClose() { return true; }
};

// The commands until the actions are wired in.
class CNoWindowCommands : public IWindowCommands {};
