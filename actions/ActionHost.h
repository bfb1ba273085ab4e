#pragma once
#include <string>

// What the actions ask of the window that offers them.
class IActionHost {
public:
    virtual ~IActionHost() = default;
    // Modal question with Yes and No, owned by the main window; true only
    // for Yes. While it is open the window keeps handling events: a refresh
    // may add, remove or move records of the process table.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    // Modal notice with one OK button and no icon; returns when it is closed.
    // Events are handled meanwhile, as for AskYesNo.
    virtual void ShowNotice(const std::string& caption, const std::string& text) = 0;
    // Whether Shift is held down right now (not when the click happened).
    virtual bool IsShiftDown() = 0;
    // The failure signal: a short flash of the "(Also show system
    // processes.)" link; never a box or a sound.
    virtual void FlashElevationLink() = 0;
};
