#include "platform/linux/HelperProcessControl.h"

#include <cerrno>

#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperProtocol.h"
#include "platform/linux/PidfdProcessControl.h"

class CHelperProcessControl::Handle : public IProcessHandle {
public:
    Handle(std::unique_ptr<CPidfdProcessHandle> own, CHelperConnection& helper)
        : m_own(std::move(own)), m_helper(helper) {}
    std::uint32_t Pid() const override { return m_own->Pid(); }

    SignalResult Send(ProcessSignal signal) override {
        SignalResult result = m_own->Send(signal);
        if (result != SignalResult::kDenied || signal != ProcessSignal::kKill || m_own->StartTime() == 0 ||
            !m_helper.IsRunning())
            return result;
        std::optional<std::string> reply =
            m_helper.Ask(FormatHelperRequest({HelperRequest::Verb::kKill, Pid(), m_own->StartTime()}));
        if (!reply) return result;
        std::string fields;
        int err = 0;
        if (ParseHelperReply(*reply, fields, err)) return SignalResult::kSent;
        return err == ESRCH ? SignalResult::kGone : result;
    }

private:
    std::unique_ptr<CPidfdProcessHandle> m_own;
    CHelperConnection& m_helper;
};

std::unique_ptr<IProcessHandle> CHelperProcessControl::OpenProcess(std::uint32_t pid) {
    std::unique_ptr<CPidfdProcessHandle> own = CPidfdProcessControl(m_procRoot).OpenPidfd(pid);
    if (!own) return nullptr;
    return std::make_unique<Handle>(std::move(own), m_helper);
}
