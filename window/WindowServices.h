#pragma once
#include <cstdint>

#include "monitor/Process.h"

// What the dialog asks of the desktop and the system besides its own view.
class IWindowServices {
public:
    virtual ~IWindowServices() = default;
    // Lets the sampler see into the processes of other users; true when
    // that worked (the link offering it is then hidden).
    virtual bool EnableDebugPrivilege() = 0;
    // The first top-level window of process pid; 0 if none is found or the
    // desktop cannot tell. Called on a details worker, never on the
    // user-interface thread.
    virtual WindowId FindProcessWindow(std::uint32_t pid) = 0;
};
