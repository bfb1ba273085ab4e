#pragma once
#include "platform/ProgramStarter.h"

// Starts programs detached by a double fork: the program runs in a session
// of its own as a grandchild, so it is never this program's zombie and
// outlives it. Its stdin is /dev/null; only stdin, stdout and stderr are
// inherited. Whether exec succeeded comes back through a close-on-exec pipe.
class CPosixProgramStarter : public IProgramStarter {
public:
    bool StartDetached(const std::string& path) override;
};
