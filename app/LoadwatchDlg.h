#pragma once
#include <QDialog>
#include <QRect>
#include <map>
#include <memory>

#include "actions/ActionHost.h"
#include "window/DialogUnits.h"
#include "window/DialogView.h"
#include "window/LoadwatchWindow.h"

class CNotifyRelay;
class CQHtmWnd;
class CReportCtrl;
class QAction;
class QSystemTrayIcon;
class QTimer;

// The main dialog in Qt Widgets: the template's controls placed through the
// dialog font's base units, fixed in size, with its tray icon. What the
// dialog does lives in CLoadwatchWindow; this class is its view, and the
// owner of the actions' questions.
class CLoadwatchDlg : public QDialog, public IDialogView, public IActionHost {
    Q_OBJECT
public:
    explicit CLoadwatchDlg(WindowPlatform platform, QWidget* parent = nullptr);
    ~CLoadwatchDlg() override;

    // The dialog's initialisation, before it is first shown.
    void InitDialog(bool fromAutostart);

    CLoadwatchWindow& Window() { return m_window; }
    QWidget* Control(int id) const;
    CReportCtrl& ListCtrl() const { return *m_list; }
    CQHtmWnd& Html() const { return *m_html; }
    QSystemTrayIcon& TrayIcon() const { return *m_trayIcon; }
    QAction& AboutAction() const { return *m_about; }
    DialogBaseUnits BaseUnits() const { return m_baseUnits; }
    bool IsTimerActive(unsigned id) const;

    // IDialogView
    IReportList& List() override;
    void InsertListColumn(int column, const std::string& heading, int width) override;
    void EnableControl(int id, bool enable) override;
    void ShowControl(int id, bool show) override;
    bool IsChecked(int id) const override;
    void SetBold(int id) override;
    void SetLinkNotify(int id, unsigned notifyId) override;
    std::string GetTitle() const override;
    void SetTitle(const std::string& title) override;
    std::string GetHtml() const override;
    void SetHtml(const std::string& html) override;
    void SetTimer(unsigned id, unsigned periodMs) override;
    void KillTimer(unsigned id) override;
    void Post(std::function<void()> task) override;
    void AddAboutEntry(const std::string& text) override;
    void ShowInformation(const std::string& caption, const std::string& text) override;
    Size GetDesktopSize() const override;
    Rect GetCtrlRect(int id) const override;
    void MoveCtrl(int id, const Rect& rect) override;
    bool IsTrayAvailable() const override;
    void HideWindow() override;
    void ShowWindow() override;
    void MinimizeWindow() override;
    void AnimateTray(bool toTray) override;
    void AddTrayIcon(const std::string& tip) override;
    void RemoveTrayIcon() override;

    // IActionHost
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowNotice(const std::string& caption, const std::string& text) override;
    bool IsShiftDown() override;
    void FlashElevationLink() override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateControls();

    DialogBaseUnits m_baseUnits;
    std::map<int, QWidget*> m_controls;
    CReportCtrl* m_list = nullptr;
    CQHtmWnd* m_html = nullptr;
    CNotifyRelay* m_relay = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QAction* m_about = nullptr;
    std::map<unsigned, QTimer*> m_timers;
    QRect m_lastIconGeometry;
    // Constructed last: it works through the controls above.
    CLoadwatchWindow m_window;
};
