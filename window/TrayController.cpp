#include "window/TrayController.h"

#include "window/DialogView.h"

CTrayController::CTrayController(IDialogView& view, std::string tip)
    : m_view(view), m_tip(std::move(tip)) {}

bool CTrayController::OnMinimizeRequest() {
    if (m_inTray || !m_view.IsTrayAvailable()) return false;
    MinimizeToTray();
    return true;
}

bool CTrayController::MinimizeToTray() {
    if (!m_view.IsTrayAvailable()) {
        m_view.MinimizeWindow();
        return false;
    }
    m_view.HideWindow();
    m_view.AnimateTray(true);
    m_view.RemoveTrayIcon();
    m_view.AddTrayIcon(m_tip);
    m_inTray = true;
    return true;
}

void CTrayController::OnIconClicked() { RestoreFromTray(); }

void CTrayController::RestoreFromTray() {
    if (m_inTray) {
        m_view.AnimateTray(false);
        m_view.ShowWindow();
        m_inTray = false;
    }
    m_view.RemoveTrayIcon();
}
