#pragma once
#include <string>

#include "window/Geometry.h"
#include "window/UiPoster.h"

class IReportList;

// The main dialog as its behaviour sees it: controls by template id, the
// title, the details panel, timers, geometry and the notification area.
// A Qt dialog and a Win32 one implement it. Every call comes on the
// user-interface thread, but for Post (IUiPoster), which hands the results
// of the details' workers back to it.
class IDialogView : public IUiPoster {
public:
    virtual ~IDialogView() = default;

    // The report list (control 1000).
    virtual IReportList& List() = 0;
    virtual void InsertListColumn(int column, const std::string& heading, int width) = 0;

    virtual void EnableControl(int id, bool enable) = 0;
    virtual void ShowControl(int id, bool show) = 0;
    // A check box is checked; false for any other control.
    virtual bool IsChecked(int id) const = 0;
    // The control's text in the bold variant of the dialog font.
    virtual void SetBold(int id) = 0;
    // Following the link of control `id` calls the behaviour's OnTimer(notifyId).
    virtual void SetLinkNotify(int id, unsigned notifyId) = 0;

    virtual std::string GetTitle() const = 0;
    virtual void SetTitle(const std::string& title) = 0;

    // The details panel's document, byte for byte as last set.
    virtual std::string GetHtml() const = 0;
    // Replaces the document and repaints the panel.
    virtual void SetHtml(const std::string& html) = 0;

    // Periodic timer: OnTimer(id) every periodMs until killed. Setting a
    // running id again restarts it.
    virtual void SetTimer(unsigned id, unsigned periodMs) = 0;
    virtual void KillTimer(unsigned id) = 0;

    // Offers "about" under this menu text (a window menu, a context menu).
    virtual void AddAboutEntry(const std::string& text) = 0;
    // A modal information box owned by the dialog, with one OK button.
    virtual void ShowInformation(const std::string& caption, const std::string& text) = 0;

    // Size of the primary screen; 0, 0 if unknown.
    virtual Size GetDesktopSize() const = 0;
    // Id 0: the dialog window (screen pixels). Other ids: the control in the
    // dialog's client pixels. An empty rectangle for an unknown id.
    virtual Rect GetCtrlRect(int id) const = 0;
    // Id 0 moves and sizes the dialog window, whose size stays fixed at it.
    virtual void MoveCtrl(int id, const Rect& rect) = 0;

    // Whether an icon can be shown in the notification area at all.
    virtual bool IsTrayAvailable() const = 0;
    virtual void HideWindow() = 0;
    // Shows the window again at its previous place, not minimised, in front.
    virtual void ShowWindow() = 0;
    // Minimises the window the ordinary way (to the task bar).
    virtual void MinimizeWindow() = 0;
    // A short animation between the window's place and the tray icon's.
    virtual void AnimateTray(bool toTray) = 0;
    virtual void AddTrayIcon(const std::string& tip) = 0;
    // Harmless when there is no icon.
    virtual void RemoveTrayIcon() = 0;
};
