#include "monitor/Processes.h"

#include <algorithm>

CProcesses::CProcesses(MonitorPlatform platform) : m_platform(platform) {}

void CProcesses::RebuildIndex() {
    m_index.clear();
    m_index.reserve(m_records.size());
    for (size_t i = 0; i < m_records.size(); ++i)
        if (m_records[i].m_dwPid != 0) m_index.emplace(m_records[i].m_dwPid, i);
}

CProcess* CProcesses::FindByPid(std::uint32_t pid) {
    if (pid == 0) return nullptr;
    auto it = m_index.find(pid);
    return it == m_index.end() ? nullptr : &m_records[it->second];
}

CProcess* CProcesses::FindOrAdd(std::uint32_t pid) {
    if (pid == 0) return nullptr;
    if (CProcess* found = FindByPid(pid)) return found;
    m_records.emplace_back();
    m_records.back().m_dwPid = pid;
    m_index.emplace(pid, m_records.size() - 1);
    return &m_records.back();
}

void CProcesses::MarkEnded(std::int64_t now) {
    for (CProcess& r : m_records) {
        if (r.m_tLastSeen < now && r.m_dwPid != 0) {
            m_index.erase(r.m_dwPid);
            r.m_dwPid = 0;
        }
    }
}

void CProcesses::RemoveStale(std::int64_t limit) {
    auto stale = [limit](const CProcess& r) { return r.m_tLastSeen < limit; };
    if (std::none_of(m_records.begin(), m_records.end(), stale)) return;
    m_records.erase(std::remove_if(m_records.begin(), m_records.end(), stale), m_records.end());
    RebuildIndex();
}

void CProcesses::MoveToFront(std::uint32_t pid) {
    if (pid == 0) return;
    auto it = m_index.find(pid);
    if (it == m_index.end()) return;
    size_t at = it->second;
    std::rotate(m_records.begin(), m_records.begin() + static_cast<std::ptrdiff_t>(at),
                m_records.begin() + static_cast<std::ptrdiff_t>(at) + 1);
    // Only the records that moved need a new index.
    for (size_t i = 0; i <= at; ++i)
        if (m_records[i].m_dwPid != 0) m_index[m_records[i].m_dwPid] = i;
}
