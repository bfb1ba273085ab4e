#include "monitor/Processes.h"

#include <algorithm>

CProcesses::CProcesses(MonitorPlatform platform) : m_platform(platform) {}

CProcess* CProcesses::FindByPid(std::uint32_t pid) {
    if (pid == 0) return nullptr;
    auto it = m_index.find(pid);
    return it == m_index.end() ? nullptr : it->second;
}

CProcess* CProcesses::FindOrAdd(std::uint32_t pid) {
    if (pid == 0) return nullptr;
    if (CProcess* found = FindByPid(pid)) return found;
    m_records.push_back(std::make_unique<CProcess>());
    CProcess* r = m_records.back().get();
    r->m_dwPid = pid;
    m_index.emplace(pid, r);
    return r;
}

void CProcesses::MarkEnded(std::int64_t now) {
    for (auto& r : m_records) {
        if (r->m_tLastSeen < now && r->m_dwPid != 0) {
            m_index.erase(r->m_dwPid);
            r->m_dwPid = 0;
        }
    }
}

void CProcesses::RemoveStale(std::int64_t limit) {
    auto stale = [limit](const std::unique_ptr<CProcess>& r) { return r->m_tLastSeen < limit; };
    if (std::none_of(m_records.begin(), m_records.end(), stale)) return;
    for (auto& r : m_records)
        if (stale(r) && r->m_dwPid != 0) m_index.erase(r->m_dwPid);
    m_records.erase(std::remove_if(m_records.begin(), m_records.end(), stale), m_records.end());
}

void CProcesses::MoveToFront(std::uint32_t pid) {
    if (pid == 0) return;
    auto it = m_index.find(pid);
    if (it == m_index.end()) return;
    auto at = std::find_if(m_records.begin(), m_records.end(),
                           [&](const std::unique_ptr<CProcess>& r) { return r.get() == it->second; });
    std::rotate(m_records.begin(), at, at + 1);
}
