#pragma once
#include "window/WindowServices.h"

// The window's services on a Linux desktop: the capabilities behind the
// debug privilege, and process windows on X11 (none elsewhere).
class CDesktopServices : public IWindowServices {
public:
    bool EnableDebugPrivilege() override;
    WindowId FindProcessWindow(std::uint32_t pid) override;
};
