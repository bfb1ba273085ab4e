#include "tests/fakes/FakeProcessSource.h"

#include <algorithm>

namespace {
class FakeQuery : public IProcessQuery {
public:
    FakeQuery(CFakeProcessSource& src, std::uint32_t pid, int instance)
        : m_src(src), m_pid(pid), m_instance(instance) {
        ++m_src.openQueries;
    }
    ~FakeQuery() override { --m_src.openQueries; }

    bool GetTimes(ProcessTimes& t) override {
        auto* p = Live();
        if (!p || !p->times) return Fail(3);
        t = *p->times;
        return true;
    }
    bool GetIoCounters(IoCounters& io) override {
        auto* p = Live();
        if (!p || !p->io) return Fail(13);
        io = *p->io;
        return true;
    }
    bool QueryFullImageName(std::string& path) override {
        auto* p = Live();
        if (!p || !p->fullImageName) return Fail(p ? p->imageError : 3);
        path = *p->fullImageName;
        return true;
    }
    bool GetImageFileName(std::string&) override { return false; }
    bool GetKernelName(std::string& name) override {
        auto* p = Live();
        if (!p || !p->kernelName) return false;
        name = *p->kernelName;
        return true;
    }
    int LastError() const override { return m_error; }

private:
    CFakeProcessSource::Proc* Live() {
        auto it = m_src.procs.find(m_pid);
        if (it == m_src.procs.end() || it->second.instance != m_instance) return nullptr;
        return &it->second;
    }
    bool Fail(int e) {
        m_error = e;
        return false;
    }
    CFakeProcessSource& m_src;
    std::uint32_t m_pid;
    int m_instance;
    int m_error = 0;
};
}  // namespace

CFakeProcessSource::Proc& CFakeProcessSource::Add(std::uint32_t pid, std::string path) {
    Remove(pid);
    order.push_back(pid);
    Proc& p = procs[pid];
    p = Proc{};
    if (!path.empty()) p.modulePath = path;
    p.times = ProcessTimes{};
    p.io = IoCounters{};
    p.instance = m_nextInstance++;
    return p;
}

void CFakeProcessSource::Remove(std::uint32_t pid) {
    procs.erase(pid);
    order.erase(std::remove(order.begin(), order.end(), pid), order.end());
}

void CFakeProcessSource::AddCpu(std::uint32_t pid, std::uint64_t user, std::uint64_t kernel) {
    auto& t = *procs.at(pid).times;
    t.user += user;
    t.kernel += kernel;
}

void CFakeProcessSource::AddIo(std::uint32_t pid, std::uint64_t read, std::uint64_t write) {
    auto& io = *procs.at(pid).io;
    io.readBytes += read;
    io.writeBytes += write;
}

bool CFakeProcessSource::EnumerateProcesses(std::vector<std::uint32_t>& pids) {
    pids.clear();
    if (failEnumeration) return false;
    pids = order;
    return true;
}

bool CFakeProcessSource::GetModulePath(std::uint32_t pid, std::string& path) {
    ++moduleLookups;
    auto it = procs.find(pid);
    if (it == procs.end() || !it->second.modulePath) {
        m_lastError = it == procs.end() ? 3 : it->second.moduleError;
        return false;
    }
    path = *it->second.modulePath;
    return true;
}

std::unique_ptr<IProcessQuery> CFakeProcessSource::OpenQuery(std::uint32_t pid) {
    auto it = procs.find(pid);
    if (it == procs.end() || !it->second.openable) {
        m_lastError = it == procs.end() ? 3 : it->second.openError;
        return nullptr;
    }
    return std::make_unique<FakeQuery>(*this, pid, it->second.instance);
}
