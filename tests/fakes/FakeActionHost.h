#pragma once
#include <functional>
#include <string>

#include "actions/ActionHost.h"
#include "tests/fakes/CallLog.h"

class CFakeActionHost : public IActionHost {
public:
    explicit CFakeActionHost(CallLog& log) : m_log(log) {}
    bool answerYes = true;
    bool shift = false;
    int flashes = 0;
    std::string lastCaption;
    // Runs while a box is open: what a refresh or the system does meanwhile.
    std::function<void()> whileOpen;

    bool AskYesNo(const std::string& caption, const std::string& text) override {
        lastCaption = caption;
        m_log.push_back("ask:" + text);
        if (whileOpen) whileOpen();
        return answerYes;
    }
    void ShowNotice(const std::string& caption, const std::string& text) override {
        lastCaption = caption;
        m_log.push_back("notice:" + text);
        if (whileOpen) whileOpen();
    }
    bool IsShiftDown() override { return shift; }
    void FlashElevationLink() override {
        ++flashes;
        m_log.push_back("flash");
    }

private:
    CallLog& m_log;
};
