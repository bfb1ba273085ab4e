#pragma once
#include "window/WindowServices.h"

// The debug privilege of the program's own token, and window enumeration.
class CWin32WindowServices : public IWindowServices {
public:
    bool EnableDebugPrivilege() override;
    WindowId FindProcessWindow(std::uint32_t pid) override;
};
