#include "window/LoadwatchWindow.h"

#include <map>

#include "actions/MessageCaption.h"
#include "monitor/Processes.h"
#include "monitor/ReportList.h"
#include "online/KnowledgeBase.h"
#include "platform/Clock.h"
#include "res/StringTable.h"
#include "res/Text.h"
#include "window/ControlIds.h"
#include "window/DialogTemplate.h"
#include "window/DialogView.h"
#include "window/FitToScreen.h"
#include "window/WindowCommands.h"
#include "window/WindowServices.h"

namespace {
// The record of the same process as before an event pump: same id, same
// start and program. A record made anew for a reused id is another process.
CProcess* FindAgain(CProcesses& processes, std::uint32_t pid, std::uint64_t creation,
                    const std::string& path) {
    CProcess* found = processes.FindByPid(pid);
    if (!found || found->m_ftCreation != creation || found->m_strPath != path) return nullptr;
    return found;
}
}  // namespace

CLoadwatchWindow::CLoadwatchWindow(IDialogView& view, WindowPlatform platform)
    : m_view(view),
      m_platform(platform),
      m_details{platform.files, platform.content,    platform.packages,
                *this,          platform.userLangId, platform.signatures},
      m_tray(view, MessageCaption()) {}

void CLoadwatchWindow::OnInitDialog(bool fromAutostart) {
    m_view.SetTitle(m_view.GetTitle() + " " + std::string(kVersion));
    m_view.InsertListColumn(0, LoadText(IDS_COLUMN_PROGRAM), 270);
    m_view.InsertListColumn(1, LoadText(IDS_COLUMN_ACTIVITY), 550);
    m_view.SetLinkNotify(IDC_LINK_HOME, kNotifyHome);
    m_view.SetLinkNotify(IDC_LINK_ELEVATE, kNotifyElevate);
    m_view.SetLinkNotify(IDC_PROMO_TITLE_1, kNotifyPromotion1);
    m_view.SetLinkNotify(IDC_PROMO_TITLE_2, kNotifyPromotion2);
    m_view.SetLinkNotify(IDC_PROMO_TITLE_3, kNotifyPromotion3);
    if (m_platform.services.EnableDebugPrivilege()) m_view.ShowControl(IDC_LINK_ELEVATE, false);
    // The first snapshot only sets baselines: the first list is empty.
    m_platform.processes.TakeSnapshot();
    m_platform.processes.FillList(m_view.List());
    m_view.SetTimer(kRefreshTimer, kRefreshPeriodMs);
    m_view.SetHtml(LoadText(IDS_CHOOSE_PROGRAM));
    m_view.SetBold(IDC_LABEL_PROGRAMS);
    m_view.SetBold(IDC_LABEL_DETAILS);
    const std::string about = LoadText(IDS_MENU_ABOUT);
    if (!about.empty()) m_view.AddAboutEntry(about);
    if (fromAutostart) m_view.SetTimer(kAutostartTimer, kAutostartDelayMs);
    FitToScreen();
}

void CLoadwatchWindow::OnTimer(unsigned id) {
    IWindowCommands& commands = *m_commands;
    switch (id) {
        case kRefreshTimer:
            Refresh();
            break;
        case kAutostartTimer:
            m_view.KillTimer(kAutostartTimer);
            m_tray.MinimizeToTray();
            break;
        case kNotifyHome:
            commands.OnHomePage();
            break;
        case kNotifyElevate:
            if (commands.RestartAsAdministrator()) {
                m_view.ShowControl(IDC_LINK_ELEVATE, false);
                m_bElevated = true;
            }
            break;
        case kNotifyPromotion1:
        case kNotifyPromotion2:
        case kNotifyPromotion3:
            commands.OnPromotionClicked(static_cast<int>(id));
            break;
        default:
            break;
    }
}

void CLoadwatchWindow::Refresh() {
    IReportList& list = m_view.List();
    if (!m_view.IsChecked(IDC_FREEZE)) {
        m_platform.processes.TakeSnapshot();
        m_platform.processes.FillList(list);
    }
    if (list.GetItemCount() == 0) ClearDetails();
    // The helper can end at any time (killed, or it broke down): the link
    // offers it again.
    if (m_bElevated && !m_commands->IsElevated()) {
        m_view.ShowControl(IDC_LINK_ELEVATE, true);
        m_bElevated = false;
    }
}

void CLoadwatchWindow::OnSelectionChanged() {
    CProcesses& processes = m_platform.processes;
    if (processes.IsFillingList()) return;
    CProcess* record = GetSelectedProcess(m_view.List(), processes);
    if (!record) {
        ClearDetails();
        return;
    }
    UpdateButtons(*record);
    const std::uint32_t pid = record->m_dwPid;
    const std::uint64_t creation = record->m_ftCreation;
    const std::string path = record->m_strPath;
    ShowDetails(pid);
    if (CProcess* again = FindAgain(processes, pid, creation, path))
        again->m_tKeepUntil = processes.Platform().clock.Now() + CProcesses::kKeepAfterSelection;
}

void CLoadwatchWindow::UpdateButtons(const CProcess& record) {
    const bool hasPath = !record.m_strPath.empty();
    m_view.EnableControl(IDC_PROPERTIES, hasPath);
    m_view.EnableControl(IDC_OPEN_FOLDER, hasPath);
    m_view.EnableControl(IDC_CLOSE_PROGRAM, record.m_hMainWnd != 0);
    m_view.EnableControl(IDC_TERMINATE, true);
    m_view.EnableControl(IDC_UNINSTALL, !record.m_strUninstaller.empty());
    m_view.EnableControl(IDC_SCAN_1, hasPath);
    m_view.EnableControl(IDC_SCAN_2, hasPath);
}

void CLoadwatchWindow::ClearDetails() {
    m_view.SetHtml("");
    for (int id : kActionButtons) m_view.EnableControl(id, false);
}

void CLoadwatchWindow::ShowDetails(std::uint32_t pid) {
    CProcesses& processes = m_platform.processes;
    CProcess* record = processes.FindByPid(pid);
    if (!record) return;
    const std::uint64_t creation = record->m_ftCreation;
    const std::string path = record->m_strPath;
    LoadDetails(*record, processes, m_details);

    // The events handled while the details loaded may have refreshed the
    // list, selected another program or ended this one.
    const std::uint32_t selected = GetSelectedRowData(m_view.List());
    if (selected != pid) {
        // Another selection has shown its own page meanwhile; with none left,
        // no page of a program that is no longer selected may stay.
        if (selected == 0) ClearDetails();
        return;
    }
    record = FindAgain(processes, pid, creation, path);
    if (!record) {
        ClearDetails();
        return;
    }
    // Neither the query nor the window lookup handles events: the record
    // stays where it is until the page is shown.
    QueryKnowledgeBase(*record, m_platform.knowledgeBase);
    if (record->m_hMainWnd == 0) record->m_hMainWnd = m_platform.services.FindProcessWindow(pid);
    if (m_view.GetHtml() != record->m_strHtml) m_view.SetHtml(record->m_strHtml);
}

void CLoadwatchWindow::OnActivateApp() {
    IReportList& list = m_view.List();
    if (list.GetItemCount() != 1) return;
    list.SetItemState(0, kStateSelected | kStateFocused, kStateSelected | kStateFocused);
    list.SetSelectionMark(0);
}

void CLoadwatchWindow::OnCommand(int id) {
    IWindowCommands& commands = *m_commands;
    auto selected = [this] { return GetSelectedProcess(m_view.List(), m_platform.processes); };
    switch (id) {
        case IDC_PROPERTIES:
            commands.OnProgramProperties(selected());
            break;
        case IDC_OPEN_FOLDER:
            commands.OnOpenFolder(selected());
            break;
        case IDC_CLOSE_PROGRAM:
            commands.OnCloseProgram(selected());
            break;
        case IDC_TERMINATE:
            commands.OnTerminateProcess(selected());
            break;
        case IDC_SCAN_1:
        case IDC_SCAN_2:
            commands.OnVirusScan(id - IDC_SCAN_1 + 1, selected());
            break;
        case IDC_UNINSTALL:
            commands.OnUninstallProgram(selected());
            break;
        case IDC_PROMO_TEXT_1:
        case IDC_PROMO_TEXT_2:
        case IDC_PROMO_TEXT_3:
        case IDC_PROMO_ICON_1:
        case IDC_PROMO_ICON_2:
        case IDC_PROMO_ICON_3:
            commands.OnPromotionClicked(id);
            break;
        default:
            break;
    }
}

void CLoadwatchWindow::OnAbout() { m_view.ShowInformation(MessageCaption(), LoadText(IDS_ABOUT)); }

bool CLoadwatchWindow::OnClose() { return m_commands->OnClose(); }

void CLoadwatchWindow::FitToScreen() {
    std::map<int, Rect> controls;
    for (const ControlTemplate& c : DialogTemplate()) controls[c.id] = m_view.GetCtrlRect(c.id);
    const Rect window = m_view.GetCtrlRect(0);
    FitResult fit = ::FitToScreen({window.width, window.height}, m_view.GetDesktopSize(), controls);
    if (!fit.moved) return;
    m_view.MoveCtrl(0, fit.window);
    for (const auto& [id, rect] : fit.controls) m_view.MoveCtrl(id, rect);
}

void CLoadwatchWindow::SetTitle(const std::string& title) { m_view.SetTitle(title); }

void CLoadwatchWindow::PumpMessages() { m_view.PumpMessages(); }
