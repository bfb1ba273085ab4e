#pragma once
#include <cstdint>
#include <vector>

// Lists the sockets of a process that this one may not look into.
class ISocketLister {
public:
    virtual ~ISocketLister() = default;
    virtual bool Available() = 0;
    // Appends the socket inodes pid holds; false when refused or gone.
    virtual bool ListSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes) = 0;
};
