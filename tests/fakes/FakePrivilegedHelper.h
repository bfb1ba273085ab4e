#pragma once
#include <string>

#include "platform/PrivilegedHelper.h"

class CFakePrivilegedHelper : public IPrivilegedHelper {
public:
    StartResult result = StartResult::kRefused;
    bool running = false;
    StartResult Start() override {
        running = result == StartResult::kStarted;
        return result;
    }
    bool IsRunning() const override { return running; }
};
