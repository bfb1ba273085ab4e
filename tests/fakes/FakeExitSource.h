#pragma once
#include <vector>

#include "platform/ExitSource.h"

// Ends a test reports by hand; each TakeEnded hands over what was queued.
class CFakeExitSource : public IExitSource {
public:
    bool listening = true;
    std::vector<EndedProcess> queued;

    bool IsListening() const override { return listening; }
    void TakeEnded(std::vector<EndedProcess>& ended) override {
        ended = std::move(queued);
        queued.clear();
    }
};
