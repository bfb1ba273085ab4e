#include "window/ActionCommands.h"

#include "actions/ProgramActions.h"
#include "actions/PromotionPanel.h"
#include "actions/ScanHandOff.h"

void CActionCommands::OnProgramProperties(const CProcess* selected) {
    m_actions.OnProgramProperties(selected);
}

void CActionCommands::OnOpenFolder(const CProcess* selected) { m_actions.OnOpenFolder(selected); }

void CActionCommands::OnCloseProgram(const CProcess* selected) { m_actions.OnCloseProgram(selected); }

void CActionCommands::OnTerminateProcess(const CProcess* selected) { m_actions.OnTerminateProcess(selected); }

void CActionCommands::OnVirusScan(int service, const CProcess* selected) {
    if (service == 1) m_scan.OnScanWithKaspersky(selected);
    if (service == 2) m_scan.OnScanWithVirusTotal(selected);
}

void CActionCommands::OnUninstallProgram(const CProcess* selected) { m_actions.OnUninstallProgram(selected); }

void CActionCommands::OnHomePage() { m_promotion.OpenHomePage(); }

bool CActionCommands::RestartAsAdministrator() { return m_actions.RestartAsAdministrator(); }

bool CActionCommands::IsElevated() { return m_actions.IsHelperRunning(); }

void CActionCommands::OnPromotionClicked(int sourceId) { m_promotion.OnSourceClicked(sourceId); }

bool CActionCommands::OnClose() { return m_actions.OnClose(); }
