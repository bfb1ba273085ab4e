#pragma once
#include "platform/Desktop.h"

// The shell's verbs through ShellExecuteA / ShellExecuteExA: "open" for
// addresses and folders, "properties" for a file.
class CShellDesktop : public IDesktop {
public:
    void OpenUrl(const std::string& url) override;
    void OpenFolder(const std::string& folder) override;
    void ShowFileProperties(const std::string& path) override;
};
