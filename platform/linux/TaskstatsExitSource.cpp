#include "platform/linux/TaskstatsExitSource.h"

#include <linux/genetlink.h>
#include <linux/netlink.h>
#include <linux/taskstats.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr int kReceiveBuffer = 8 << 20;

struct Attribute {
    std::uint16_t type;
    const char* data;
    std::size_t size;
};

// Calls visit for each netlink attribute in [data, data + size).
template <class Visit>
void ForEachAttribute(const char* data, std::size_t size, Visit visit) {
    while (size >= NLA_HDRLEN) {
        nlattr a{};
        std::memcpy(&a, data, sizeof a);
        if (a.nla_len < NLA_HDRLEN || a.nla_len > size) return;
        visit(Attribute{static_cast<std::uint16_t>(a.nla_type & NLA_TYPE_MASK), data + NLA_HDRLEN,
                        static_cast<std::size_t>(a.nla_len - NLA_HDRLEN)});
        std::size_t step = std::min<std::size_t>(NLA_ALIGN(a.nla_len), size);
        data += step;
        size -= step;
    }
}
}  // namespace

CTaskstatsExitSource::CTaskstatsExitSource() {
    if (!Start()) m_socket.Reset();
}

bool CTaskstatsExitSource::Request(std::uint16_t type, std::uint8_t command, std::uint16_t attribute,
                                   const std::string& value) {
    std::vector<char> message(NLMSG_SPACE(GENL_HDRLEN + NLA_ALIGN(NLA_HDRLEN + value.size() + 1)));
    auto* header = reinterpret_cast<nlmsghdr*>(message.data());
    header->nlmsg_len = static_cast<std::uint32_t>(message.size());
    header->nlmsg_type = type;
    header->nlmsg_flags = NLM_F_REQUEST | NLM_F_ACK;
    header->nlmsg_seq = ++m_sequence;
    auto* generic = static_cast<genlmsghdr*>(NLMSG_DATA(header));
    generic->cmd = command;
    generic->version = 1;
    auto* a = reinterpret_cast<nlattr*>(reinterpret_cast<char*>(generic) + GENL_HDRLEN);
    a->nla_type = attribute;
    a->nla_len = static_cast<std::uint16_t>(NLA_HDRLEN + value.size() + 1);
    std::memcpy(reinterpret_cast<char*>(a) + NLA_HDRLEN, value.c_str(), value.size() + 1);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    return ::sendto(m_socket.Get(), message.data(), message.size(), 0, reinterpret_cast<sockaddr*>(&kernel),
                    sizeof kernel) == static_cast<ssize_t>(message.size());
}

// Reads replies to the last request up to its acknowledgement; the family id
// of a family reply goes to *familyOut.
bool CTaskstatsExitSource::ReadAck(std::uint16_t* familyOut) {
    for (;;) {
        ssize_t n = ::recv(m_socket.Get(), m_buffer.data(), m_buffer.size(), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EPROTO;
            return false;
        }
        auto length = static_cast<unsigned>(n);
        for (auto* h = reinterpret_cast<nlmsghdr*>(m_buffer.data()); NLMSG_OK(h, length);
             h = NLMSG_NEXT(h, length)) {
            if (h->nlmsg_seq != m_sequence) continue;
            if (h->nlmsg_type == NLMSG_ERROR) {
                int code = static_cast<const nlmsgerr*>(NLMSG_DATA(h))->error;
                if (code == 0) return true;
                m_error = -code;
                return false;
            }
            if (familyOut && h->nlmsg_type == GENL_ID_CTRL) {
                const char* body = static_cast<const char*>(NLMSG_DATA(h)) + GENL_HDRLEN;
                ForEachAttribute(body, h->nlmsg_len - NLMSG_LENGTH(GENL_HDRLEN), [&](const Attribute& a) {
                    if (a.type == CTRL_ATTR_FAMILY_ID && a.size >= 2) std::memcpy(familyOut, a.data, 2);
                });
            }
        }
    }
}

bool CTaskstatsExitSource::Start() {
    m_socket.Reset(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_GENERIC));
    if (!m_socket) {
        m_error = errno;
        return false;
    }
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    if (::bind(m_socket.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        m_error = errno;
        return false;
    }
    if (!Request(GENL_ID_CTRL, CTRL_CMD_GETFAMILY, CTRL_ATTR_FAMILY_NAME, TASKSTATS_GENL_NAME) ||
        !ReadAck(&m_family) || m_family == 0) {
        if (m_error == 0) m_error = ENOENT;
        return false;
    }
    // Bursts of ends (a build, a shell loop) arrive faster than one drain a
    // second; a large buffer keeps them. Forcing its size needs the same
    // right as listening; the plain request is the fallback.
    int size = kReceiveBuffer;
    if (::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    long processors = ::sysconf(_SC_NPROCESSORS_CONF);
    std::string mask = "0-" + std::to_string(processors > 0 ? processors - 1 : 0);
    if (!Request(m_family, TASKSTATS_CMD_GET, TASKSTATS_CMD_ATTR_REGISTER_CPUMASK, mask) || !ReadAck(nullptr))
        return false;
    m_listening = true;
    m_error = 0;
    return true;
}

void CTaskstatsExitSource::Add(const void* data, std::size_t size, std::uint32_t tid) {
    // An older kernel sends a shorter structure: what it lacks stays 0.
    taskstats stats{};
    std::memcpy(&stats, data, std::min(size, sizeof stats));
    // Before version 12 a thread's end cannot be told from its process's.
    std::uint32_t pid = stats.version >= 12 && stats.ac_tgid != 0 ? stats.ac_tgid : tid;
    EndedProcess& e = m_pending[pid];
    e.pid = pid;
    if (tid == pid || e.name.empty()) {
        e.name.assign(stats.ac_comm, strnlen(stats.ac_comm, sizeof stats.ac_comm));
        e.parentPid = stats.ac_ppid;
        e.started = static_cast<std::int64_t>(stats.version >= 10 ? stats.ac_btime64 : stats.ac_btime);
    }
    if (stats.cpu_run_virtual_total != 0) {
        // The scheduler's own nanoseconds, which /proc's times are scaled
        // to; the split into user and kernel time is only sampled.
        e.user += stats.cpu_run_virtual_total / 100;
    } else {
        // Microseconds to 100-ns units.
        e.user += stats.ac_utime * 10;
        e.kernel += stats.ac_stime * 10;
    }
    e.readBytes += stats.read_bytes;
    e.writeBytes += stats.write_bytes;
}

void CTaskstatsExitSource::TakeEnded(std::vector<EndedProcess>& ended) {
    ended.clear();
    if (!m_listening) return;
    for (;;) {
        ssize_t n = ::recv(m_socket.Get(), m_buffer.data(), m_buffer.size(), MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == ENOBUFS) {
            ++m_lost;
            continue;
        }
        if (n <= 0) break;
        auto length = static_cast<unsigned>(n);
        for (auto* h = reinterpret_cast<nlmsghdr*>(m_buffer.data()); NLMSG_OK(h, length);
             h = NLMSG_NEXT(h, length)) {
            if (h->nlmsg_type != m_family || h->nlmsg_len < NLMSG_LENGTH(GENL_HDRLEN)) continue;
            const char* body = static_cast<const char*>(NLMSG_DATA(h)) + GENL_HDRLEN;
            ForEachAttribute(body, h->nlmsg_len - NLMSG_LENGTH(GENL_HDRLEN), [&](const Attribute& outer) {
                // The per-task record; the per-group one holds delays only.
                if (outer.type != TASKSTATS_TYPE_AGGR_PID) return;
                std::uint32_t tid = 0;
                const char* stats = nullptr;
                std::size_t statsSize = 0;
                ForEachAttribute(outer.data, outer.size, [&](const Attribute& inner) {
                    if (inner.type == TASKSTATS_TYPE_PID && inner.size >= 4) std::memcpy(&tid, inner.data, 4);
                    if (inner.type == TASKSTATS_TYPE_STATS) {
                        stats = inner.data;
                        statsSize = inner.size;
                    }
                });
                if (stats && tid != 0) Add(stats, statsSize, tid);
            });
        }
    }
    ended.reserve(m_pending.size());
    for (auto& [pid, e] : m_pending) ended.push_back(std::move(e));
    m_pending.clear();
}
