#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/ProcessControl.h"
#include "tests/fakes/CallLog.h"

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
