#pragma once
#include <string>

class IDialogView;

// Sending the window to the notification area and back. Where there is no
// notification area the window is minimised the ordinary way instead: a
// hidden window without an icon could never be brought back.
class CTrayController {
public:
    // tip: the icon's tooltip, the message caption.
    CTrayController(IDialogView& view, std::string tip);

    // The user minimised the window: true when it went to the tray, false
    // when the ordinary minimising should take place.
    bool OnMinimizeRequest();
    // Hides the window and shows the icon (one icon, also when it is there
    // already); without a tray, minimises. Returns whether the icon shows.
    bool MinimizeToTray();
    // A mouse button was released over the icon.
    void OnIconClicked();
    void RestoreFromTray();
    bool IsInTray() const { return m_inTray; }

private:
    IDialogView& m_view;
    std::string m_tip;
    bool m_inTray = false;
};
