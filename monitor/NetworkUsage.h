#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/NetworkSource.h"

// Traffic per process between two readings of the system's sockets. A
// socket counts for the process that holds it now, and only with what it
// moved while it was held there: a socket that passed to another process
// brings nothing with it, and a closed one simply stops counting. A socket
// made since the previous reading counts whole; at the first reading there
// is no growth at all.
class CNetworkUsage {
public:
    // Takes one reading. When the source fails there is no growth this
    // time, and the next reading compares against the last good one.
    bool Update(INetworkSource& source);
    // Whether the last Update read the sockets.
    bool HasReading() const { return m_hasReading; }
    // Bytes pid's sockets moved between the last two readings.
    std::uint64_t GrowthOf(std::uint32_t pid) const;
    // The received share of GrowthOf(pid); the rest was sent.
    std::uint64_t ReceivedGrowthOf(std::uint32_t pid) const;

private:
    struct Held {
        std::uint32_t pid;
        std::uint64_t bytes;
        std::uint64_t received;
        std::uint64_t reading;  // the last reading that listed the socket
    };
    std::unordered_map<std::uint64_t, Held> m_previous;  // by inode
    std::unordered_map<std::uint32_t, std::uint64_t> m_growth;
    std::unordered_map<std::uint32_t, std::uint64_t> m_receivedGrowth;
    std::vector<SocketTraffic> m_sockets;
    std::uint64_t m_reading = 0;
    bool m_hasPrevious = false;
    bool m_hasReading = false;
};
