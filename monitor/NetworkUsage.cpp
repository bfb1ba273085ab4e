#include "monitor/NetworkUsage.h"

bool CNetworkUsage::Update(INetworkSource& source) {
    m_growth.clear();
    m_bHasReading = source.GetSocketTraffic(m_sockets);
    if (!m_bHasReading) return false;
    std::unordered_map<std::uint64_t, Held> current;
    current.reserve(m_sockets.size());
    for (const SocketTraffic& s : m_sockets) {
        current[s.inode] = {s.pid, s.bytes};
        if (s.pid == 0) continue;
        auto before = m_previous.find(s.inode);
        if (before == m_previous.end()) {
            if (m_bHasPrevious && s.bytes > 0) m_growth[s.pid] += s.bytes;
            continue;
        }
        // A holder found only now was most likely holding it before too.
        const Held& held = before->second;
        if ((held.pid == s.pid || held.pid == 0) && s.bytes > held.bytes)
            m_growth[s.pid] += s.bytes - held.bytes;
    }
    m_previous = std::move(current);
    m_bHasPrevious = true;
    return true;
}

std::uint64_t CNetworkUsage::GrowthOf(std::uint32_t pid) const {
    auto it = m_growth.find(pid);
    return it == m_growth.end() ? 0 : it->second;
}
