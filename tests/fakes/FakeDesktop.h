#pragma once
#include <string>

#include "platform/Desktop.h"
#include "tests/fakes/CallLog.h"

class CFakeDesktop : public IDesktop {
public:
    explicit CFakeDesktop(CallLog& log) : m_log(log) {}
    void OpenUrl(const std::string& url) override { m_log.push_back("url:" + url); }
    void OpenFolder(const std::string& folder) override { m_log.push_back("folder:" + folder); }
    void ShowFileProperties(const std::string& path) override { m_log.push_back("properties:" + path); }

private:
    CallLog& m_log;
};
