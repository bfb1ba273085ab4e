#pragma once
#include <linux/inet_diag.h>
#include <linux/netlink.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/NetworkSource.h"
#include "platform/linux/SocketLister.h"
#include "platform/linux/UniqueFd.h"

// TCP sockets from one NETLINK_SOCK_DIAG dump per family and call, with the
// byte counters of their tcp_info; no privilege needed. The holder of each
// socket is found through the procfs root's PID/fd links: only for sockets
// not seen before, at most one search per call, and only among processes
// of the socket's user. What a search could not place is not searched for
// again, so a steady set of sockets costs only the dumps. The dump itself
// costs a walk of the kernel's whole connection table, however few sockets
// there are; so when the namespace's TCP segment counters
// (/proc/net/snmp) did not move, no socket moved a byte either, and the
// previous answer is given again without asking the kernel. When only the
// segment counters moved but no connection was opened since (ActiveOpens,
// PassiveOpens), no new socket can be there: the sockets already known are
// asked for by their exact address, in batched requests, each a hash
// lookup in the kernel, as long as they are few against the size of the
// kernel's table (/proc/sys/net/ipv4/tcp_ehash_entries); past that one walk
// is cheaper. Otherwise, and after an opened connection, a dump.
//
// Formats: sock_diag(7), the tcp_info of <linux/tcp.h> (bytes_acked and
// bytes_received since Linux 4.1 and 4.2; older kernels report 0), and
// proc(5) for /proc/PID/fd ("socket:[INODE]").
class CSockDiagNetworkSource : public INetworkSource {
public:
    // lister, if given, places the sockets of processes this one may not
    // look into while it is available.
    explicit CSockDiagNetworkSource(std::string procRoot = "/proc", ISocketLister* lister = nullptr);

    bool GetSocketTraffic(std::vector<SocketTraffic>& sockets) override;

    // Searches of the procfs root so far (for tests and benchmarks).
    std::uint64_t Searches() const { return m_searches; }
    // Dumps taken so far (for tests and benchmarks).
    std::uint64_t Dumps() const { return m_dumps; }
    // Readings of the known sockets by exact address so far.
    std::uint64_t Lookups() const { return m_lookups; }

private:
    struct Dumped {
        std::uint64_t inode;
        std::uint32_t uid;
        std::uint64_t received;
        std::uint64_t sent;
        std::uint8_t family;
        inet_diag_sockid id;  // the exact address, cookie included
    };
    bool Send(const void* message, std::size_t size);
    // The text of net/snmp; empty if unreadable.
    std::string ReadSnmp();
    // AF_UNSPEC: both families in one request.
    bool Dump(unsigned char family, std::vector<Dumped>& out);
    // Reads the replies to the requests numbered first..last; a socket that
    // answers goes to out. false on a failed receive.
    bool Receive(std::uint32_t first, std::uint32_t last, bool dump, std::vector<Dumped>& out);
    // Asks for each known socket by its exact address; those that are gone
    // are left out. false when the kernel could not be asked.
    bool LookUpKnown(std::vector<Dumped>& out);
    // Takes one socket's reply; false for other messages and sockets
    // without traffic of their own.
    static bool ParseDiag(const nlmsghdr* h, std::vector<Dumped>& out);
    // Builds the answer from what the kernel said, placing new sockets.
    void Answer(const std::vector<Dumped>& dumped, bool mayBeNew, std::vector<SocketTraffic>& sockets);
    void Search(const std::unordered_set<std::uint64_t>& wanted,
                const std::unordered_set<std::uint32_t>& uids);

    std::string m_procRoot;
    ISocketLister* m_lister;
    bool m_wasPrivileged = false;
    UniqueFd m_netlink;
    std::unordered_map<std::uint64_t, std::uint32_t> m_owner;  // inode -> pid
    std::unordered_set<std::uint64_t> m_unplaced;              // searched for, not found
    std::uint64_t m_searches = 0;
    std::uint32_t m_sequence = 0;
    bool m_bothInOne = true;
    std::uint32_t m_calls = 0;
    UniqueFd m_snmp;
    std::string m_segments;             // at the last reading
    std::string m_opens;                // connections opened, at the last dump
    std::vector<SocketTraffic> m_last;  // the last answer
    std::vector<Dumped> m_known;        // the sockets of the last answer
    std::uint64_t m_dumps = 0;
    std::uint64_t m_lookups = 0;
    std::uint64_t m_buckets = 0;  // of the kernel's connection table; 0 not read yet
    std::vector<char> m_buffer = std::vector<char>(64 * 1024);  // one receive
};

// "InSegs=N OutSegs=M " from the text of net/snmp; empty when either is
// missing.
std::string ParseTcpSegments(std::string_view snmp);
// "ActiveOpens=N PassiveOpens=M " likewise.
std::string ParseTcpOpens(std::string_view snmp);
