#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "actions/ActionHost.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/PrivilegedHelper.h"
#include "platform/ProcessControl.h"
#include "platform/ProgramStarter.h"

// One log shared by the fakes below, so tests can check the order of calls.
using CallLog = std::vector<std::string>;

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

// Processes with an identity: a handle opened on one instance of an id
// reaches nothing once the id belongs to another instance.
class CFakeProcessControl : public IProcessControl {
public:
    struct Proc {
        int instance = 0;
        bool denied = false;
    };
    std::map<std::uint32_t, Proc> procs;
    CallLog& log;
    explicit CFakeProcessControl(CallLog& l) : log(l) {}

    void Start(std::uint32_t pid) { procs[pid] = Proc{++m_nextInstance}; }
    void End(std::uint32_t pid) { procs.erase(pid); }

    std::unique_ptr<IProcessHandle> OpenProcess(std::uint32_t pid) override {
        auto it = procs.find(pid);
        if (it == procs.end()) return nullptr;
        return std::make_unique<Handle>(*this, pid, it->second.instance);
    }

private:
    class Handle : public IProcessHandle {
    public:
        Handle(CFakeProcessControl& c, std::uint32_t pid, int instance)
            : m_c(c), m_pid(pid), m_instance(instance) {}
        std::uint32_t Pid() const override { return m_pid; }
        SignalResult Send(ProcessSignal signal) override {
            auto it = m_c.procs.find(m_pid);
            if (it == m_c.procs.end() || it->second.instance != m_instance) return SignalResult::kGone;
            if (it->second.denied) return SignalResult::kDenied;
            m_c.log.push_back((signal == ProcessSignal::kKill ? "kill:" : "quit:") + std::to_string(m_pid) +
                              "#" + std::to_string(m_instance));
            return SignalResult::kSent;
        }

    private:
        CFakeProcessControl& m_c;
        std::uint32_t m_pid;
        int m_instance;
    };
    int m_nextInstance = 0;
};

class CFakeDesktop : public IDesktop {
public:
    explicit CFakeDesktop(CallLog& log) : m_log(log) {}
    void OpenUrl(const std::string& url) override { m_log.push_back("url:" + url); }
    void OpenFolder(const std::string& folder) override { m_log.push_back("folder:" + folder); }
    void ShowFileProperties(const std::string& path) override { m_log.push_back("properties:" + path); }

private:
    CallLog& m_log;
};

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
