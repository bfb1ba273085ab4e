#include "platform/linux/HelperProcessSource.h"

#include <cerrno>
#include <charconv>

#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperProtocol.h"
#include "platform/linux/Pidfd.h"

namespace {
bool Refused(int err) { return err == EACCES || err == EPERM; }

// Asks the helper; the reply's fields, or nullopt with err set.
std::optional<std::string> AskHelper(CHelperConnection& helper, const HelperRequest& request, int& err) {
    std::optional<std::string> reply = helper.Ask(FormatHelperRequest(request));
    if (!reply) return std::nullopt;
    std::string fields;
    if (!ParseHelperReply(*reply, fields, err)) return std::nullopt;
    return fields;
}

bool ParseCounters(const std::string& fields, IoCounters& counters) {
    size_t blank = fields.find(' ');
    if (blank == std::string::npos) return false;
    const char* end = fields.data() + fields.size();
    auto r1 = std::from_chars(fields.data(), fields.data() + blank, counters.readBytes);
    auto r2 = std::from_chars(fields.data() + blank + 1, end, counters.writeBytes);
    return r1.ec == std::errc() && r1.ptr == fields.data() + blank && r2.ec == std::errc() && r2.ptr == end;
}
}  // namespace

class CHelperProcessSource::Query : public IProcessQuery {
public:
    Query(std::unique_ptr<IProcessQuery> inner, std::uint32_t pid, CHelperConnection& helper)
        : m_inner(std::move(inner)), m_pid(pid), m_helper(helper) {}

    bool GetTimes(ProcessTimes& times) override { return Track(m_inner->GetTimes(times)); }
    bool QueryFullImageName(std::string& path) override { return Track(m_inner->QueryFullImageName(path)); }
    bool GetImageFileName(std::string& path) override { return Track(m_inner->GetImageFileName(path)); }
    bool GetKernelName(std::string& name) override { return m_inner->GetKernelName(name); }
    int LastError() const override { return m_error; }

    bool GetIoCounters(IoCounters& counters) override {
        if (Track(m_inner->GetIoCounters(counters))) return true;
        if (!Refused(m_error) || !m_helper.IsRunning()) return false;
        UniqueFd process = PidfdOpen(static_cast<pid_t>(m_pid));
        // The inner handle still answering proves the pidfd is its process's.
        ProcessTimes times;
        if (!process || !m_inner->GetTimes(times)) return Fail(ESRCH);
        int err = m_error;
        std::optional<std::string> fields = AskHelper(m_helper, {HelperRequest::Verb::kIo, m_pid, 0}, err);
        if (!fields) return Fail(err);
        IoCounters answer;
        if (!ParseCounters(*fields, answer)) return Fail(EPROTO);
        if (!PidfdAlive(process.Get())) return Fail(ESRCH);
        counters = answer;
        return true;
    }

private:
    bool Track(bool ok) {
        if (!ok) m_error = m_inner->LastError();
        return ok;
    }
    bool Fail(int err) {
        m_error = err;
        return false;
    }
    std::unique_ptr<IProcessQuery> m_inner;
    std::uint32_t m_pid;
    CHelperConnection& m_helper;
    int m_error = 0;
};

std::unique_ptr<IProcessQuery> CHelperProcessSource::OpenQuery(std::uint32_t pid) {
    std::unique_ptr<IProcessQuery> inner = m_inner.OpenQuery(pid);
    if (!inner) {
        m_lastError = m_inner.LastError();
        return nullptr;
    }
    return std::make_unique<Query>(std::move(inner), pid, m_helper);
}

bool CHelperProcessSource::GetModulePath(std::uint32_t pid, std::string& path) {
    if (m_inner.GetModulePath(pid, path)) return true;
    m_lastError = m_inner.LastError();
    if (!Refused(m_lastError) || !m_helper.IsRunning()) return false;
    UniqueFd process = PidfdOpen(static_cast<pid_t>(pid));
    if (!process) return false;
    int err = m_lastError;
    std::optional<std::string> fields = AskHelper(m_helper, {HelperRequest::Verb::kExe, pid, 0}, err);
    std::string answer;
    if (!fields || !DecodeHelperPath(*fields, answer) || !PidfdAlive(process.Get())) {
        m_lastError = fields ? ESRCH : err;
        return false;
    }
    path = answer;
    return true;
}
