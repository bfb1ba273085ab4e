#pragma once
#include <cstdint>
#include <map>

#include "window/WindowServices.h"

// The desktop as the test sets it up. Workers read `windows`: change it
// only while no load is in flight.
class CFakeWindowServices : public IWindowServices {
public:
    bool privilege = false;
    std::map<std::uint32_t, WindowId> windows;

    bool EnableDebugPrivilege() override { return privilege; }
    WindowId FindProcessWindow(std::uint32_t pid) override {
        const auto it = windows.find(pid);
        return it == windows.end() ? 0 : it->second;
    }
};
