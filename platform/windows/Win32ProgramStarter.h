#pragma once
#include "platform/ProgramStarter.h"

// CreateProcessA in the program's own folder, no handles inherited.
class CWin32ProgramStarter : public IProgramStarter {
public:
    bool StartDetached(const std::string& path) override;
};
