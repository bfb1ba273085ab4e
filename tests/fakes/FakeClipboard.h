#pragma once
#include <string>

#include "platform/Clipboard.h"
#include "tests/fakes/CallLog.h"

class CFakeClipboard : public IClipboard {
public:
    explicit CFakeClipboard(CallLog& log) : m_log(log) {}
    std::string text = "previous content";
    bool busy = false;  // held open by another program
    bool SetText(const std::string& t) override {
        m_log.push_back("clipboard");
        if (busy) return false;
        text = t;
        return true;
    }

private:
    CallLog& m_log;
};
