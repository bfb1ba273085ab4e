#include "actions/ProgramActions.h"

#include "actions/ActionHost.h"
#include "actions/MessageCaption.h"
#include "monitor/Processes.h"
#include "platform/Desktop.h"
#include "platform/PrivilegedHelper.h"
#include "platform/ProcessControl.h"
#include "platform/ProgramStarter.h"
#include "res/PrintableText.h"
#include "res/StringTable.h"
#include "res/TextFormat.h"

CProgramActions::CProgramActions(CProcesses& processes, IActionHost& host, ActionPlatform platform)
    : m_processes(processes), m_host(host), m_platform(platform) {}

bool CProgramActions::Confirm(unsigned textId, const std::string& fileName) {
    return m_host.AskYesNo(MessageCaption(),
                           FormatText(LoadText(textId).c_str(), Printable(fileName).c_str()));
}

std::unique_ptr<IProcessHandle> CProgramActions::StillTheSame(const Target& target,
                                                              std::unique_ptr<IProcessHandle> handle) {
    // The handle keeps safe a process that takes the id during the box; it
    // is the newcomer's own when the id was taken just before the click,
    // and then only the table's start time tells them apart.
    const CProcess* now = m_processes.FindByPid(target.pid);
    if (!now) return nullptr;
    if (now->m_ftCreation != 0 && target.creation != 0 && now->m_ftCreation != target.creation)
        return nullptr;
    return handle;
}

void CProgramActions::OnProgramProperties(const CProcess* selected) {
    if (!selected || selected->m_strPath.empty()) return;
    m_platform.desktop.ShowFileProperties(selected->m_strPath);
}

void CProgramActions::OnOpenFolder(const CProcess* selected) {
    if (!selected || selected->m_strFolder.empty()) return;
    m_platform.desktop.OpenFolder(selected->m_strFolder);
}

void CProgramActions::OnCloseProgram(const CProcess* selected) {
    if (!selected) return;
    const bool shift = m_host.IsShiftDown();
    if (selected->m_hMainWnd == 0) return;
    const Target target{selected->m_dwPid, selected->m_ftCreation, selected->m_strFileName};
    auto handle = m_platform.processes.OpenProcess(target.pid);
    if (!shift && !Confirm(IDS_CONFIRM_CLOSE, target.fileName)) return;
    if (!handle) return;
    handle = StillTheSame(target, std::move(handle));
    if (handle) handle->Send(ProcessSignal::kQuit);
}

void CProgramActions::OnTerminateProcess(const CProcess* selected) {
    if (!selected) return;
    const Target target{selected->m_dwPid, selected->m_ftCreation, selected->m_strFileName};
    auto handle = m_platform.processes.OpenProcess(target.pid);
    if (!m_host.IsShiftDown() && !Confirm(IDS_CONFIRM_TERMINATE, target.fileName)) return;
    if (handle) handle = StillTheSame(target, std::move(handle));
    if (!handle || handle->Send(ProcessSignal::kKill) != SignalResult::kSent) m_host.FlashElevationLink();
}

void CProgramActions::OnUninstallProgram(const CProcess* selected) {
    if (!selected || selected->m_strUninstaller.empty()) return;
    const std::string uninstaller = selected->m_strUninstaller;
    if (!Confirm(IDS_CONFIRM_UNINSTALL, selected->m_strFileName)) return;
    m_platform.starter.StartDetached(uninstaller);
}

bool CProgramActions::OnClose() { return m_host.AskYesNo(MessageCaption(), LoadText(IDS_CONFIRM_EXIT)); }

bool CProgramActions::RestartAsAdministrator() {
    return m_platform.helper.Start() == IPrivilegedHelper::StartResult::kStarted;
}

bool CProgramActions::IsHelperRunning() const { return m_platform.helper.IsRunning(); }
