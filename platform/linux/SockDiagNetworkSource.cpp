#include "platform/linux/SockDiagNetworkSource.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string_view>

#include "platform/linux/ProcessSockets.h"

namespace {

// TCP states of <net/tcp_states.h>: everything but LISTEN, TIME_WAIT and
// NEW_SYN_RECV, which carry no traffic of their own and have no inode.
constexpr std::uint32_t kListen = 10, kTimeWait = 6, kNewSynRecv = 12;
constexpr std::uint32_t kStates = ~((1u << kListen) | (1u << kTimeWait) | (1u << kNewSynRecv));

// Owners are checked against the procfs root every so many calls: a socket
// can outlive the process that was found holding it.
constexpr std::uint32_t kOwnerCheckEvery = 8;

bool ParsePid(const char* name, std::uint32_t& pid) {
    std::uint64_t v = 0;
    if (*name == 0) return false;
    for (; *name; ++name) {
        if (*name < '0' || *name > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(*name - '0');
        if (v > 0xFFFFFFFFu) return false;
    }
    pid = static_cast<std::uint32_t>(v);
    return pid != 0;
}

}  // namespace

bool CSockDiagNetworkSource::ParseDiag(const nlmsghdr* h, std::vector<Dumped>& out) {
    if ((h->nlmsg_type != SOCK_DIAG_BY_FAMILY && h->nlmsg_type != TCPDIAG_GETSOCK) ||
        h->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg)))
        return false;
    const auto* diag = static_cast<const inet_diag_msg*>(NLMSG_DATA(h));
    // Time-wait and listening sockets (no inode, or not wanted) carry no traffic of their own.
    if (diag->idiag_inode == 0 || (kStates & (1u << diag->idiag_state)) == 0) return false;
    Dumped d{diag->idiag_inode, diag->idiag_uid, 0, 0, diag->idiag_family, diag->id};
    auto attributes = static_cast<unsigned>(h->nlmsg_len - NLMSG_LENGTH(sizeof(inet_diag_msg)));
    for (auto* a = reinterpret_cast<const rtattr*>(diag + 1); RTA_OK(a, attributes); a = RTA_NEXT(a, attributes)) {
        if (a->rta_type != INET_DIAG_INFO) continue;
        // An older kernel sends a shorter tcp_info: what it lacks stays 0.
        tcp_info info{};
        std::memcpy(&info, RTA_DATA(a), std::min<std::size_t>(RTA_PAYLOAD(a), sizeof info));
        d.received = info.tcpi_bytes_received;
        d.sent = info.tcpi_bytes_acked;
    }
    out.push_back(d);
    return true;
}

CSockDiagNetworkSource::CSockDiagNetworkSource(std::string procRoot, ISocketLister* lister)
    : m_procRoot(std::move(procRoot)), m_lister(lister) {}

bool CSockDiagNetworkSource::Send(const void* message, std::size_t size) {
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    return sendto(m_netlink.Get(), message, size, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) ==
           static_cast<ssize_t>(size);
}

bool CSockDiagNetworkSource::Dump(unsigned char family, std::vector<Dumped>& out) {
    // The kernel walks its whole connection table for every request, which
    // costs far more than the sockets it returns. The older request form
    // leaves the family open and so gets IPv4 and IPv6 in one walk; the
    // per-family form is the fallback.
    std::uint16_t type = SOCK_DIAG_BY_FAMILY;
    bool sent = false;
    if (family == AF_UNSPEC) {
        struct {
            nlmsghdr header;
            inet_diag_req request;
        } message{};
        message.header.nlmsg_len = sizeof message;
        message.header.nlmsg_type = type = TCPDIAG_GETSOCK;
        message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
        message.header.nlmsg_seq = ++m_sequence;
        message.request.idiag_ext = 1u << (INET_DIAG_INFO - 1);
        message.request.idiag_states = kStates;
        sent = Send(&message, sizeof message);
    } else {
        struct {
            nlmsghdr header;
            inet_diag_req_v2 request;
        } message{};
        message.header.nlmsg_len = sizeof message;
        message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
        message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
        message.header.nlmsg_seq = ++m_sequence;
        message.request.sdiag_family = family;
        message.request.sdiag_protocol = IPPROTO_TCP;
        message.request.idiag_ext = 1u << (INET_DIAG_INFO - 1);
        message.request.idiag_states = kStates;
        sent = Send(&message, sizeof message);
    }
    if (!sent) return false;
    return Receive(m_sequence, m_sequence, true, out);
}

bool CSockDiagNetworkSource::Receive(std::uint32_t first, std::uint32_t last, bool dump,
                                     std::vector<Dumped>& out) {
    // A dump packs many sockets into each datagram; a lookup's reply is a
    // datagram of its own, so those are taken many to a system call.
    constexpr std::size_t kSlots = 64;
    const std::size_t slot = m_buffer.size() / kSlots;
    mmsghdr messages[kSlots];
    iovec vectors[kSlots];
    std::uint32_t answered = 0;
    const std::uint32_t asked = last - first + 1;
    for (;;) {
        const std::size_t want = dump ? 1 : std::min<std::size_t>(kSlots, asked - answered);
        for (std::size_t i = 0; i < want; ++i) {
            vectors[i] = {m_buffer.data() + i * (dump ? 0 : slot), dump ? m_buffer.size() : slot};
            messages[i] = {};
            messages[i].msg_hdr.msg_iov = &vectors[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        int got = recvmmsg(m_netlink.Get(), messages, static_cast<unsigned>(want), MSG_WAITFORONE, nullptr);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        for (int m = 0; m < got; ++m) {
            auto length = messages[m].msg_len;
            if (messages[m].msg_hdr.msg_flags & MSG_TRUNC) return false;
            for (auto* h = static_cast<nlmsghdr*>(vectors[m].iov_base); NLMSG_OK(h, length);
                 h = NLMSG_NEXT(h, length)) {
                if (h->nlmsg_seq < first || h->nlmsg_seq > last) continue;
                if (h->nlmsg_type == NLMSG_DONE) return true;
                if (h->nlmsg_type == NLMSG_ERROR) {
                    // A lookup's "no such socket": it has closed.
                    if (dump) return false;
                    ++answered;
                    continue;
                }
                ParseDiag(h, out);
                if (!dump) ++answered;
            }
        }
        if (!dump && answered >= asked) return true;
    }
}

void CSockDiagNetworkSource::Search(const std::unordered_set<std::uint64_t>& wanted,
                                    const std::unordered_set<std::uint32_t>& uids) {
    ++m_searches;
    UniqueFd root(open(m_procRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!root) return;
    int listing = dup(root.Get());
    if (listing < 0) return;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(fdopendir(listing), &closedir);
    if (!dir) {
        close(listing);
        return;
    }
    std::size_t found = 0;
    std::vector<std::uint64_t> inodes;
    while (dirent* entry = readdir(dir.get())) {
        std::uint32_t pid = 0;
        if (!ParsePid(entry->d_name, pid)) continue;
        struct stat st {};
        if (fstatat(root.Get(), entry->d_name, &st, 0) != 0 || uids.count(st.st_uid) == 0) continue;
        inodes.clear();
        // Another user's process: the privileged helper may read it for us.
        if (!ReadProcessSockets(root.Get(), entry->d_name, inodes) &&
            !(m_lister && m_lister->Available() && m_lister->ListSockets(pid, inodes)))
            continue;
        for (std::uint64_t inode : inodes)
            if (wanted.count(inode) != 0 && m_owner.emplace(inode, pid).second) ++found;
        if (found == wanted.size()) return;
    }
}

namespace {
// "NAME=VALUE " for each wanted field of the Tcp line of net/snmp, in the
// file's order; empty when any is missing.
std::string ParseTcpFields(std::string_view snmp, std::string_view a, std::string_view b) {
    // The first "Tcp:" line names the fields, the second holds the values.
    auto line = [&snmp](std::size_t from) {
        std::size_t at = snmp.find("Tcp: ", from);
        while (at != std::string_view::npos && at != 0 && snmp[at - 1] != '\n')
            at = snmp.find("Tcp: ", at + 1);
        return at;
    };
    std::size_t names = line(0);
    std::size_t values = names == std::string_view::npos ? names : line(names + 1);
    if (values == std::string_view::npos) return {};
    auto fields = [&snmp](std::size_t at) {
        std::string_view l = snmp.substr(at + 5);
        return l.substr(0, l.find('\n'));
    };
    std::string_view header = fields(names), row = fields(values);
    std::string wanted;
    int found = 0;
    while (!header.empty() && !row.empty()) {
        std::string_view name = header.substr(0, header.find(' '));
        std::string_view value = row.substr(0, row.find(' '));
        if (name == a || name == b) {
            wanted += std::string(name) + "=" + std::string(value) + " ";
            ++found;
        }
        header.remove_prefix(std::min(header.size(), name.size() + 1));
        row.remove_prefix(std::min(row.size(), value.size() + 1));
    }
    return found == 2 ? wanted : std::string();
}

// Requests per batch: their replies (each its own buffer of about 1 kB in
// the kernel's accounting) must fit the receive buffer, or the kernel
// drops them.
constexpr std::size_t kBatch = 64;

// Measured here: a dump costs about 15 ns per bucket of the connection
// table and 1.1 us per socket; a lookup about 2.7 us per socket. Asking
// each socket wins while they are fewer than a hundredth of the buckets.
constexpr std::uint64_t kBucketsPerLookup = 100;
constexpr std::uint64_t kUnknownBuckets = 65536;
}  // namespace

std::string ParseTcpSegments(std::string_view snmp) { return ParseTcpFields(snmp, "InSegs", "OutSegs"); }
std::string ParseTcpOpens(std::string_view snmp) { return ParseTcpFields(snmp, "ActiveOpens", "PassiveOpens"); }

std::string CSockDiagNetworkSource::ReadSnmp() {
    if (!m_snmp) m_snmp.Reset(open((m_procRoot + "/net/snmp").c_str(), O_RDONLY | O_CLOEXEC));
    char text[4096];
    ssize_t n = m_snmp ? pread(m_snmp.Get(), text, sizeof text, 0) : -1;
    if (n <= 0) return {};
    return std::string(text, static_cast<std::size_t>(n));
}

bool CSockDiagNetworkSource::LookUpKnown(std::vector<Dumped>& out) {
    struct Request {
        nlmsghdr header;
        inet_diag_req_v2 request;
    };
    std::vector<Request> batch;
    batch.reserve(std::min(kBatch, m_known.size()));
    for (std::size_t at = 0; at < m_known.size(); at += kBatch) {
        const std::size_t end = std::min(at + kBatch, m_known.size());
        batch.clear();
        const std::uint32_t first = m_sequence + 1;
        for (std::size_t i = at; i < end; ++i) {
            Request r{};
            r.header.nlmsg_len = sizeof r;
            r.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
            r.header.nlmsg_flags = NLM_F_REQUEST;
            r.header.nlmsg_seq = ++m_sequence;
            r.request.sdiag_family = m_known[i].family;
            r.request.sdiag_protocol = IPPROTO_TCP;
            r.request.idiag_ext = 1u << (INET_DIAG_INFO - 1);
            r.request.idiag_states = kStates;
            // With its cookie the address names this very socket, not a
            // later one on the same ports.
            r.request.id = m_known[i].id;
            batch.push_back(r);
        }
        static_assert(sizeof(Request) % NLMSG_ALIGNTO == 0);
        if (!Send(batch.data(), batch.size() * sizeof(Request)) || !Receive(first, m_sequence, false, out))
            return false;
    }
    return true;
}

void CSockDiagNetworkSource::Answer(const std::vector<Dumped>& dumped, bool mayBeNew,
                                    std::vector<SocketTraffic>& sockets) {
    if (mayBeNew && ++m_calls % kOwnerCheckEvery == 0) {
        for (auto it = m_owner.begin(); it != m_owner.end();) {
            std::string path = m_procRoot + "/" + std::to_string(it->second);
            if (access(path.c_str(), F_OK) != 0) {
                it = m_owner.erase(it);
            } else {
                ++it;
            }
        }
    }
    std::unordered_set<std::uint64_t> live, wanted;
    std::unordered_set<std::uint32_t> uids;
    live.reserve(dumped.size());
    for (const Dumped& d : dumped) {
        live.insert(d.inode);
        if (m_owner.count(d.inode) == 0 && m_unplaced.count(d.inode) == 0) {
            wanted.insert(d.inode);
            uids.insert(d.uid);
        }
    }
    if (!wanted.empty()) {
        Search(wanted, uids);
        for (std::uint64_t inode : wanted)
            if (m_owner.count(inode) == 0) m_unplaced.insert(inode);
    }
    // Closed sockets are forgotten.
    std::erase_if(m_owner, [&](const auto& e) { return live.count(e.first) == 0; });
    std::erase_if(m_unplaced, [&](std::uint64_t inode) { return live.count(inode) == 0; });

    sockets.reserve(dumped.size());
    for (const Dumped& d : dumped) {
        auto owner = m_owner.find(d.inode);
        sockets.push_back({d.inode, owner == m_owner.end() ? 0u : owner->second, d.received + d.sent, d.received});
    }
    m_known = dumped;
    m_last = sockets;
}

bool CSockDiagNetworkSource::GetSocketTraffic(std::vector<SocketTraffic>& sockets) {
    sockets.clear();
    // What could not be placed before may be placeable now.
    const bool privileged = m_lister && m_lister->Available();
    const bool gotPrivilege = privileged && !m_wasPrivileged;
    if (gotPrivilege) m_unplaced.clear();
    m_wasPrivileged = privileged;
    const std::string snmp = ReadSnmp();
    std::string segments = ParseTcpSegments(snmp);
    std::string opens = ParseTcpOpens(snmp);
    if (!gotPrivilege && !segments.empty() && segments == m_segments) {
        sockets = m_last;
        return true;
    }
    if (!m_netlink) {
        m_netlink.Reset(socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
        if (!m_netlink) return false;
    }
    std::vector<Dumped> dumped;
    if (m_buckets == 0) {
        // The table's size (Linux 6.1 on); a negative value means a
        // namespace of its own, sized by its absolute value.
        std::ifstream in(m_procRoot + "/sys/net/ipv4/tcp_ehash_entries");
        long long entries = 0;
        m_buckets = in >> entries && entries != 0 ? static_cast<std::uint64_t>(std::llabs(entries)) : kUnknownBuckets;
    }
    if (!gotPrivilege && !opens.empty() && opens == m_opens && m_known.size() * kBucketsPerLookup < m_buckets) {
        dumped.reserve(m_known.size());
        if (LookUpKnown(dumped)) {
            ++m_lookups;
            Answer(dumped, false, sockets);
            m_segments = std::move(segments);
            return true;
        }
        m_netlink.Reset();  // a half-read reply would confuse the next call
        m_netlink.Reset(socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
        if (!m_netlink) return false;
        dumped.clear();
    }
    bool read = m_bothInOne && Dump(AF_UNSPEC, dumped);
    if (!read && m_bothInOne) {
        m_bothInOne = false;
        dumped.clear();
    }
    if (!read) read = Dump(AF_INET, dumped) && Dump(AF_INET6, dumped);
    if (!read) {
        m_netlink.Reset();  // a half-read reply would confuse the next call
        return false;
    }
    Answer(dumped, true, sockets);
    ++m_dumps;
    m_segments = std::move(segments);
    m_opens = std::move(opens);
    return true;
}
