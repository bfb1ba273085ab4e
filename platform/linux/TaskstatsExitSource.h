#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ExitSource.h"
#include "platform/linux/UniqueFd.h"

// Ends of processes from the kernel's per-task exit accounting (taskstats
// over generic netlink, Documentation/accounting/taskstats.rst): every task
// that ends on a registered processor sends its processor times and storage
// I/O. Registering needs CAP_NET_ADMIN in the initial namespaces; without it
// the source stays silent and says so. The socket is drained without
// blocking; a full receive buffer loses ends, never blocks the kernel.
class CTaskstatsExitSource : public IExitSource {
public:
    CTaskstatsExitSource();
    bool IsListening() const override { return m_listening; }
    void TakeEnded(std::vector<EndedProcess>& ended) override;
    // Why listening failed (errno), 0 while listening.
    int Error() const { return m_error; }
    // Ends lost to a full buffer so far.
    std::uint64_t Lost() const { return m_lost; }

private:
    bool Start();
    bool Request(std::uint16_t type, std::uint8_t command, std::uint16_t attribute, const std::string& value);
    bool ReadAck(std::uint16_t* familyOut);
    void Add(const void* stats, std::size_t size, std::uint32_t tid);

    UniqueFd m_socket;
    std::uint16_t m_family = 0;
    std::uint32_t m_sequence = 0;
    bool m_listening = false;
    int m_error = 0;
    std::uint64_t m_lost = 0;
    std::unordered_map<std::uint32_t, EndedProcess> m_pending;  // by process id
    std::vector<char> m_buffer = std::vector<char>(64 * 1024);
};
