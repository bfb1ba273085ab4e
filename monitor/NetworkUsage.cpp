#include "monitor/NetworkUsage.h"

#include <algorithm>

bool CNetworkUsage::Update(INetworkSource& source) {
    m_growth.clear();
    m_receivedGrowth.clear();
    m_hasReading = source.GetSocketTraffic(m_sockets);
    if (!m_hasReading) return false;
    // The readings are updated in place: a steady set of sockets costs one
    // lookup each and no allocation.
    ++m_reading;
    std::size_t seen = 0;
    for (const SocketTraffic& s : m_sockets) {
        auto [it, added] = m_previous.try_emplace(s.inode, Held{s.pid, s.bytes, s.received, 0});
        Held& held = it->second;
        if (held.reading == m_reading) continue;  // listed twice
        ++seen;
        if (s.pid != 0) {
            if (added) {
                if (m_hasPrevious && s.bytes > 0) {
                    m_growth[s.pid] += s.bytes;
                    if (s.received > 0) m_receivedGrowth[s.pid] += std::min(s.received, s.bytes);
                }
            } else if ((held.pid == s.pid || held.pid == 0) && s.bytes > held.bytes) {
                // A holder found only now was most likely holding it before too.
                m_growth[s.pid] += s.bytes - held.bytes;
                if (s.received > held.received)
                    m_receivedGrowth[s.pid] += std::min(s.received - held.received, s.bytes - held.bytes);
            }
        }
        held = {s.pid, s.bytes, s.received, m_reading};
    }
    // Closed sockets are forgotten.
    if (m_previous.size() > seen)
        std::erase_if(m_previous, [this](const auto& entry) { return entry.second.reading != m_reading; });
    m_hasPrevious = true;
    return true;
}

std::uint64_t CNetworkUsage::GrowthOf(std::uint32_t pid) const {
    auto it = m_growth.find(pid);
    return it == m_growth.end() ? 0 : it->second;
}

std::uint64_t CNetworkUsage::ReceivedGrowthOf(std::uint32_t pid) const {
    auto it = m_receivedGrowth.find(pid);
    return it == m_receivedGrowth.end() ? 0 : it->second;
}
