#pragma once
#include <cstdint>
#include <memory>
#include <string>

class CProcess;
class CProcesses;
class IActionHost;
class IDesktop;
class IPrivilegedHelper;
class IProcessControl;
class IProcessHandle;
class IProgramStarter;

// What the actions ask of the system. All must outlive the actions.
struct ActionPlatform {
    IProcessControl& processes;
    IDesktop& desktop;
    IProgramStarter& starter;
    IPrivilegedHelper& helper;
};

// The buttons of the "Actions:" group, the main window's close box and the
// "(Also show system processes.)" link. Each button handler is given the
// record selected when its button was pressed (GetSelectedProcess, null for
// none) and reads it only before its confirmation: while the box is open a
// refresh may move or delete that record, and the process may end and its
// id be taken by another. The action then reaches the process the box
// named, through a handle opened before the box, or nobody.
class CProgramActions {
public:
    CProgramActions(CProcesses& processes, IActionHost& host, ActionPlatform platform);

    void OnProgramProperties(const CProcess* selected);
    void OnOpenFolder(const CProcess* selected);
    // Asks the program to quit (Shift skips the question). Needs a window
    // found for the process; failures are silent.
    void OnCloseProgram(const CProcess* selected);
    // Ends the process (Shift skips the question); a failure flashes the
    // elevation link.
    void OnTerminateProcess(const CProcess* selected);
    // Starts the uninstaller found beside the program, always after asking.
    void OnUninstallProgram(const CProcess* selected);
    // The main window's close box, system menu or Alt+F4: true when the user
    // confirmed and the window may end. Enter and Esc do not come here.
    bool OnClose();
    // The elevation link: starts the privileged helper. true when it runs
    // now, so the window hides the link; a refusal changes nothing.
    bool RestartAsAdministrator();
    // Whether the helper still runs; once it has ended, the link is offered
    // again.
    bool IsHelperRunning() const;

private:
    // What a handler keeps of the record before its confirmation.
    struct Target {
        std::uint32_t pid = 0;
        std::uint64_t creation = 0;
        std::string fileName;
    };
    bool Confirm(unsigned textId, const std::string& fileName);
    // The handle, if the table still holds the same process under its id
    // after the confirmation; null otherwise.
    std::unique_ptr<IProcessHandle> StillTheSame(const Target& target,
                                                 std::unique_ptr<IProcessHandle> handle);

    CProcesses& m_processes;
    IActionHost& m_host;
    ActionPlatform m_platform;
};
