#pragma once
#include "window/WindowCommands.h"

class CProgramActions;
class CPromotionPanel;
class CScanHandOff;

// The dialog's commands carried out by the actions library. Free of any
// toolkit, so every view of the dialog shares it.
class CActionCommands : public IWindowCommands {
public:
    CActionCommands(CProgramActions& actions, CScanHandOff& scan, CPromotionPanel& promotion)
        : m_actions(actions), m_scan(scan), m_promotion(promotion) {}

    void OnProgramProperties(const CProcess* selected) override;
    void OnOpenFolder(const CProcess* selected) override;
    void OnCloseProgram(const CProcess* selected) override;
    void OnTerminateProcess(const CProcess* selected) override;
    void OnVirusScan(int service, const CProcess* selected) override;
    void OnUninstallProgram(const CProcess* selected) override;
    void OnHomePage() override;
    bool RestartAsAdministrator() override;
    bool IsElevated() override;
    void OnPromotionClicked(int sourceId) override;
    bool OnClose() override;

private:
    CProgramActions& m_actions;
    CScanHandOff& m_scan;
    CPromotionPanel& m_promotion;
};
