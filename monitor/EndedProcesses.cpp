#include <string>
#include <unordered_map>

#include "monitor/Processes.h"
#include "platform/FileTime.h"
#include "res/StringTable.h"
#include "res/TextFormat.h"

CProcess& CProcesses::Group(const std::string& key, const std::string& name) {
    for (auto& owned : m_records)
        if (owned->m_strGroupKey == key) return *owned;
    m_records.push_back(std::make_unique<CProcess>());
    CProcess& r = *m_records.back();
    r.m_strGroupKey = key;
    r.m_strFileName = name;
    return r;
}

void CProcesses::CountEnded(std::int64_t now, std::vector<const CProcess*>& active) {
    auto share = [this](std::uint64_t used) {
        return m_ullInterval ? static_cast<double>(used) / static_cast<double>(m_ullInterval) : 0.0;
    };
    if (m_platform.exits && m_platform.exits->IsListening()) {
        struct Sum {
            std::uint64_t processor = 0, read = 0, write = 0;
            int count = 0;
        };
        std::unordered_map<std::string, Sum> programs;
        for (std::size_t i = 0; i < m_ended.size(); ++i) {
            const EndedProcess& e = m_ended[i];
            if (e.pid == 0) continue;
            if (CProcess* r = FindByPid(e.pid)) {
                if (r->m_tLastSeen == now) {
                    // Still listed: a zombie not yet waited for, or a thread
                    // of a process that runs on. The next snapshot tells.
                    if (i < m_nEndedHeardNow) m_endedLater.push_back(e);
                    continue;
                }
                const std::int64_t started = FileTimeToTime(r->m_ftCreation);
                if (r->m_bHasTimes && started - e.started <= 1 && e.started - started <= 1) {
                    // Met before: what it did after its last sample.
                    const std::uint64_t before = r->m_ftUser + r->m_ftKernel;
                    const std::uint64_t after = e.user + e.kernel;
                    const std::uint64_t moved = e.readBytes + e.writeBytes;
                    const std::uint64_t known = r->m_bHasIo ? r->m_ullReadBytes + r->m_ullWriteBytes : moved;
                    const std::uint64_t used = after > before ? after - before : 0;
                    r->m_tAmountsAt = now;
                    r->m_dProcessorShare = share(used);
                    r->m_ullDiskReadRate = r->m_ullDiskWriteRate = 0;
                    if (moved > known) {
                        r->m_ullDiskReadRate =
                            e.readBytes > r->m_ullReadBytes ? Rate(e.readBytes - r->m_ullReadBytes) : 0;
                        r->m_ullDiskWriteRate =
                            e.writeBytes > r->m_ullWriteBytes ? Rate(e.writeBytes - r->m_ullWriteBytes) : 0;
                    }
                    if (Stamp(*r, now, used, moved > known ? moved - known : 0)) active.push_back(r);
                    continue;
                }
            }
            Sum& sum = programs[e.name];
            sum.processor += e.user + e.kernel;
            sum.read += e.readBytes;
            sum.write += e.writeBytes;
            ++sum.count;
        }
        for (const auto& [name, sum] : programs) {
            // Idle ones (a loop of `true`) would never be listed: no record.
            if (sum.processor < kProcessorThreshold && sum.read + sum.write == 0) continue;
            CProcess& r = Group("ended:" + name, name);
            r.m_tLastSeen = now;
            r.m_nEndedCount = sum.count;
            r.m_tAmountsAt = now;
            r.m_dProcessorShare = share(sum.processor);
            r.m_ullDiskReadRate = Rate(sum.read);
            r.m_ullDiskWriteRate = Rate(sum.write);
            Stamp(r, now, sum.processor, sum.read + sum.write);
            active.push_back(&r);
        }
        return;
    }
    if (m_childGrowth.empty()) return;
    // A parent's children's time grows when it waits for a child; what the
    // children the table knew had done is theirs, the rest was done by
    // children too short-lived to be met.
    std::unordered_map<std::uint32_t, std::uint64_t> known;
    for (auto& owned : m_records) {
        const CProcess& r = *owned;
        if (r.m_dwPid != 0 && r.m_tLastSeen < now && r.m_bHasTimes)
            known[r.m_extras.parentPid] += r.m_ftUser + r.m_ftKernel;
    }
    for (const ChildGrowth& g : m_childGrowth) {
        auto k = known.find(g.pid);
        const std::uint64_t theirs = k == known.end() ? 0 : k->second;
        const std::uint64_t rest = g.time > theirs ? g.time - theirs : 0;
        if (rest < kProcessorThreshold) continue;
        const CProcess* parent = FindByPid(g.pid);
        if (!parent) continue;
        CProcess& r = Group("children:" + std::to_string(g.pid) + ":" + std::to_string(parent->m_ftCreation),
                            FormatText(LoadText(IDS_SHORT_LIVED).c_str(), parent->ProgramText().c_str()));
        r.m_tLastSeen = now;
        r.m_tAmountsAt = now;
        r.m_dProcessorShare = share(rest);
        Stamp(r, now, rest, 0);
        active.push_back(&r);
    }
}
