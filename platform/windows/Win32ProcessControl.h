#pragma once
#include "platform/ProcessControl.h"

// Process handles on OpenProcess: a quit request is WM_QUIT posted to the
// process's first top-level window, a kill is TerminateProcess.
class CWin32ProcessControl : public IProcessControl {
public:
    std::unique_ptr<IProcessHandle> OpenProcess(std::uint32_t pid) override;
};
