#pragma once

class CProcess;

// What the dialog's buttons, links and promotion panel do; the dialog only
// decides when each is called. The buttons get the record selected when
// they were pressed (null for none), valid until the command handles
// events. Every method is a no-op here.
class IWindowCommands {
public:
    virtual ~IWindowCommands() = default;
    virtual void OnProgramProperties(const CProcess* /*selected*/) {}                  // button 1002
    virtual void OnOpenFolder(const CProcess* /*selected*/) {}                         // button 1003
    virtual void OnCloseProgram(const CProcess* /*selected*/) {}                       // button 1004
    virtual void OnTerminateProcess(const CProcess* /*selected*/) {}                   // button 1005
    virtual void OnVirusScan(int /*service 1 or 2*/, const CProcess* /*selected*/) {}  // 1006, 1007
    virtual void OnUninstallProgram(const CProcess* /*selected*/) {}                   // button 1008
    virtual void OnHomePage() {}                                                       // link 1010
    // Link 1012: true when what it offers is in effect now (the link hides).
    virtual bool RestartAsAdministrator() { return false; }
    // Whether what link 1012 started is still in effect.
    virtual bool IsElevated() { return false; }
    // A promotion entry's title link (its notify id 20001-20003), text or
    // icon (control id 1021-1026).
    virtual void OnPromotionClicked(int /*source id*/) {}
    // Whether the dialog may close after the close box or Alt+F4.
    virtual bool OnClose() { return true; }
};

// The commands before any are wired in.
class CNoWindowCommands : public IWindowCommands {};
