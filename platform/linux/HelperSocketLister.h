#pragma once
#include "platform/linux/SocketLister.h"

class CHelperConnection;

// Asks the privileged helper, while it runs, for the sockets of processes
// the window may not look into.
class CHelperSocketLister : public ISocketLister {
public:
    explicit CHelperSocketLister(CHelperConnection& helper) : m_helper(helper) {}
    bool Available() override;
    bool ListSockets(std::uint32_t pid, std::vector<std::uint64_t>& inodes) override;

private:
    CHelperConnection& m_helper;
};
