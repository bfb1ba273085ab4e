#pragma once
#include <string>

// The user's desktop: browser and file manager. Each call only asks; none
// reports whether anything was shown, and each returns without waiting for
// the program that shows it.
class IDesktop {
public:
    virtual ~IDesktop() = default;
    // Opens a web address in the user's browser.
    virtual void OpenUrl(const std::string& url) = 0;
    // Opens a folder in the file manager.
    virtual void OpenFolder(const std::string& folder) = 0;
    // Shows the file manager's properties of a file; nothing where no file
    // manager offers them.
    virtual void ShowFileProperties(const std::string& path) = 0;
};
