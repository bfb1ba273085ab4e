#pragma once
#include "platform/Desktop.h"

// The desktop as Qt reaches it: the user's opener for pages and folders,
// and the file manager's FileManager1 interface on the session bus for a
// file's properties.
class CQtDesktop : public IDesktop {
public:
    void OpenUrl(const std::string& url) override;
    void OpenFolder(const std::string& folder) override;
    void ShowFileProperties(const std::string& path) override;
};
