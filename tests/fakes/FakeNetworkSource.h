#pragma once
#include <map>

#include "platform/NetworkSource.h"

// Sockets as a test declares them, by inode.
class CFakeNetworkSource : public INetworkSource {
public:
    std::map<std::uint64_t, SocketTraffic> sockets;
    bool fail = false;

    void Put(std::uint64_t inode, std::uint32_t pid, std::uint64_t bytes, std::uint64_t received = 0) {
        sockets[inode] = {inode, pid, bytes, received};
    }

    bool GetSocketTraffic(std::vector<SocketTraffic>& out) override {
        out.clear();
        if (fail) return false;
        for (const auto& [inode, s] : sockets) out.push_back(s);
        return true;
    }
};
