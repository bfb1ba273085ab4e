#pragma once
#include <cstdint>
#include <vector>

// One TCP socket at one moment.
struct SocketTraffic {
    std::uint64_t inode = 0;  // names the socket while it lives
    std::uint32_t pid = 0;    // the process holding it; 0 when not known
    // Bytes the peer acknowledged plus bytes received, since the socket was
    // made. Grows while the socket lives.
    std::uint64_t bytes = 0;
    // The received share of bytes; the rest was sent.
    std::uint64_t received = 0;
};

// The system's TCP sockets (IPv4 and IPv6) with their traffic. All calls
// happen on one thread.
class INetworkSource {
public:
    virtual ~INetworkSource() = default;
    // Every socket that can carry traffic now (listening sockets and those
    // without an owner left are not listed). A socket whose holder cannot
    // be found yet has pid 0. false, with an empty list, when the system
    // cannot be asked.
    virtual bool GetSocketTraffic(std::vector<SocketTraffic>& sockets) = 0;
};
