#include "window/LoadwatchWindow.h"

#include <map>
#include <utility>

#include "actions/MessageCaption.h"
#include "monitor/Amounts.h"
#include "monitor/Processes.h"
#include "monitor/ReportList.h"
#include "platform/Clock.h"
#include "res/StringTable.h"
#include "window/ControlIds.h"
#include "window/DialogTemplate.h"
#include "window/DialogView.h"
#include "window/FitToScreen.h"
#include "window/WindowCommands.h"
#include "window/WindowServices.h"

namespace {
// The live record of the program `key` names, or null.
CProcess* FindProgram(CProcesses& processes, const PageKey& key) {
    CProcess* found = processes.FindByPid(key.pid);
    if (!found || found->m_ftCreation != key.creation || found->m_strPath != key.path) return nullptr;
    return found;
}
}  // namespace

CLoadwatchWindow::CLoadwatchWindow(IDialogView& view, WindowPlatform platform)
    : m_view(view),
      m_platform(platform),
      m_tray(view, MessageCaption()),
      m_pages(std::make_unique<CPageLoader>(view,
                                            PageSources{{platform.files, platform.content, platform.packages,
                                                         platform.userLangId, platform.signatures},
                                                        platform.knowledgeBase,
                                                        platform.services,
                                                        platform.files,
                                                        platform.findUninstaller},
                                            [this](const PageKey& key) { OnPageLoaded(key); })) {}

CLoadwatchWindow::~CLoadwatchWindow() = default;

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
                m_elevated = true;
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
    CProcesses& processes = m_platform.processes;
    if (!m_view.IsChecked(IDC_FREEZE)) {
        processes.TakeSnapshot();
        processes.FillList(list);
        // Pages of programs that are gone are not asked for again.
        m_pages->Prune([&processes](const PageKey& key) { return FindProgram(processes, key) != nullptr; });
    }
    // The selected program has ended: its page and buttons would only mislead.
    if (list.GetItemCount() == 0 || (m_shown && processes.SelectedPid() == 0))
        ClearDetails();
    else if (m_shown && processes.SelectedPid() == m_shown->pid)
        ShowPage(*m_shown);
    // The helper can end at any time (killed, or it broke down): the link
    // offers it again.
    if (m_elevated && !m_commands->IsElevated()) {
        m_view.ShowControl(IDC_LINK_ELEVATE, true);
        m_elevated = false;
    }
}

void CLoadwatchWindow::OnSelectionChanged() {
    CProcesses& processes = m_platform.processes;
    if (processes.IsFillingList()) return;
    processes.Select(GetSelectedRowData(m_view.List()));
    CProcess* record = processes.Selected();
    if (!record) {
        ClearDetails();
        return;
    }
    record->m_tKeepUntil = processes.Platform().clock.Now() + CProcesses::kKeepAfterSelection;
    UpdateButtons(*record);
    ShowDetails(*record);
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
    m_shown.reset();
    m_view.SetHtml("");
    for (int id : kActionButtons) m_view.EnableControl(id, false);
}

void CLoadwatchWindow::ShowDetails(CProcess& record) {
    const PageKey key = KeyOf(record);
    m_shown = key;
    m_pages->Load(key, record.m_strFolder, record.m_strFileName);
    ShowPage(key);
}

void CLoadwatchWindow::ShowPage(const PageKey& key) {
    const ProgramPage* page = m_pages->Find(key);
    // A page in is shown even while the window is looked for again; a
    // no-data text only until the question is asked again.
    const bool ready = page && page->queried && (page->page.answered || !m_pages->IsLoading(key));
    const CProcess* record = FindProgram(m_platform.processes, key);
    // The amounts are the table's own: shown while the rest loads.
    const std::string amounts = record ? ComposeAmountsHtml(*record) : std::string();
    std::string html = amounts + LoadText(IDS_LOADING_DETAILS);
    if (ready) html = (record ? FileNoteOf(*record) : std::string()) + amounts + page->page.html;
    // An unchanged page is not rendered again: a tick that changed none of
    // its amounts leaves it alone.
    if (m_view.GetHtml() != html) m_view.SetHtml(html);
}

void CLoadwatchWindow::OnPageLoaded(const PageKey& key) {
    CProcess* record = FindProgram(m_platform.processes, key);
    if (record) {
        // The actions read these off the record; written here, between events.
        const ProgramPage* page = m_pages->Find(key);
        if (page->mainWindow != 0) record->m_hMainWnd = page->mainWindow;
        if (record->m_strUninstaller.empty()) record->m_strUninstaller = page->uninstaller;
    }
    // Kept for later; shown only while its program is the selected one.
    if (!record || m_shown != key || m_platform.processes.SelectedPid() != key.pid) return;
    UpdateButtons(*record);
    ShowPage(key);
}

void CLoadwatchWindow::OnActivateApp() {
    IReportList& list = m_view.List();
    if (list.GetItemCount() != 1) return;
    list.SetItemState(0, kStateSelected | kStateFocused, kStateSelected | kStateFocused);
    list.SetSelectionMark(0);
}

void CLoadwatchWindow::OnCommand(int id) {
    using Action = void (IWindowCommands::*)(const CProcess*);
    // The buttons that act on the selected program.
    static constexpr std::pair<int, Action> kActions[] = {
        {IDC_PROPERTIES, &IWindowCommands::OnProgramProperties},
        {IDC_OPEN_FOLDER, &IWindowCommands::OnOpenFolder},
        {IDC_CLOSE_PROGRAM, &IWindowCommands::OnCloseProgram},
        {IDC_TERMINATE, &IWindowCommands::OnTerminateProcess},
        {IDC_UNINSTALL, &IWindowCommands::OnUninstallProgram},
    };
    IWindowCommands& commands = *m_commands;
    for (const auto& [button, action] : kActions)
        if (id == button) return (commands.*action)(m_platform.processes.Selected());
    if (id == IDC_SCAN_1 || id == IDC_SCAN_2)
        return commands.OnVirusScan(id - IDC_SCAN_1 + 1, m_platform.processes.Selected());
    // The promotion entries' texts and icons.
    if (id >= IDC_PROMO_TEXT_1 && id <= IDC_PROMO_ICON_3) commands.OnPromotionClicked(id);
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
