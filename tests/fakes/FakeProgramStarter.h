#pragma once
#include <string>

#include "platform/ProgramStarter.h"
#include "tests/fakes/CallLog.h"

class CFakeProgramStarter : public IProgramStarter {
public:
    explicit CFakeProgramStarter(CallLog& log) : m_log(log) {}
    bool StartDetached(const std::string& path) override {
        m_log.push_back("start:" + path);
        return true;
    }

private:
    CallLog& m_log;
};
