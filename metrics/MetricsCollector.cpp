#include "metrics/MetricsCollector.h"

#include <algorithm>

#include "monitor/Processes.h"

namespace {
// Growth of a reading that only grows while its process lives; a reading
// that went down is a new baseline, not a loss.
std::uint64_t Growth(std::uint64_t now, std::uint64_t before) { return now > before ? now - before : 0; }
}  // namespace

ProgramMetrics& CMetricsCollector::ProgramOf(const std::string& path, const std::string& name,
                                             std::int64_t now) {
    auto [it, added] = m_programs.try_emplace(path);
    if (added) {
        it->second.path = path;
        it->second.name = path.empty() ? kUnknownName : name;
        it->second.lastBusy = now;
    }
    return it->second;
}

void CMetricsCollector::MarkListed(ProgramMetrics& p, const CProcess& r, std::int64_t now) {
    p.listedProcessor = p.listedProcessor || r.m_tProcessorUntil >= now;
    p.listedDisk = p.listedDisk || r.m_tDiskUntil >= now;
    p.listedNetwork = p.listedNetwork || r.m_tNetworkUntil >= now;
}

void CMetricsCollector::Update(const CProcesses& table, std::int64_t now) {
    const bool first = m_tick == 0;
    ++m_tick;
    for (auto& [path, program] : m_programs) {
        program.processes = 0;
        program.listedProcessor = program.listedDisk = program.listedNetwork = false;
    }
    const CNetworkUsage& network = table.NetworkUsage();
    for (int i = 0; i < table.GetSize(); ++i) {
        const CProcess& r = table[i];
        if (r.m_dwPid == 0) {
            // An ended process stays listed, as closed, with its activity.
            auto program = m_programs.find(r.m_strPath);
            if (program != m_programs.end()) MarkListed(program->second, r, now);
            continue;
        }
        auto [it, added] = m_processes.try_emplace(r.m_dwPid);
        Tracked& t = it->second;
        if (!added && t.creation != r.m_ftCreation) {
            t = Tracked{};  // the id belongs to a new process now
            added = true;
        }
        // Anything new after the first tick was born since the tick before:
        // all it did is new.
        const bool fromZero = added && !first;
        if (added) t.creation = r.m_ftCreation;
        if (!t.program || t.program->path != r.m_strPath)
            t.program = &ProgramOf(r.m_strPath, r.m_strFileName, now);
        ProgramMetrics& p = *t.program;
        t.tick = m_tick;

        if (r.m_bHasTimes) {
            const std::uint64_t cpu = r.m_ftKernel + r.m_ftUser;
            if (t.cpuTime || fromZero) p.cpuTime += Growth(cpu, t.cpuTime.value_or(0));
            t.cpuTime = cpu;
        }
        if (r.m_bHasIo) {
            const IoCounters io{r.m_ullReadBytes, r.m_ullWriteBytes};
            if (t.io || fromZero) {
                const IoCounters last = t.io.value_or(IoCounters{});
                p.readBytes += Growth(io.readBytes, last.readBytes);
                p.writtenBytes += Growth(io.writeBytes, last.writeBytes);
            }
            t.io = io;
        }
        if (network.HasReading()) {
            const std::uint64_t moved = network.GrowthOf(r.m_dwPid);
            const std::uint64_t received = network.ReceivedGrowthOf(r.m_dwPid);
            p.receivedBytes += received;
            p.sentBytes += moved - received;
        }

        ++p.processes;
        MarkListed(p, r, now);
        // Active since the previous update. The caller's clock may have
        // moved on since the snapshot; seeing one activity twice only
        // stretches the quiet period by a tick.
        const std::int64_t last = std::max({r.m_tLastProcessor, r.m_tLastDisk, r.m_tLastNetwork});
        if (last != 0 && last >= m_previousNow) {
            p.busyOnce = true;
            p.lastBusy = now;
        }
    }
    std::erase_if(m_processes, [this](const auto& entry) { return entry.second.tick != m_tick; });
    m_previousNow = now;
    ForgetQuiet(now);
}

void CMetricsCollector::ForgetQuiet(std::int64_t now) {
    for (auto it = m_programs.begin(); it != m_programs.end();) {
        ProgramMetrics& p = it->second;
        if (now - p.lastBusy <= m_quietPeriod) {
            ++it;
        } else if (p.processes == 0) {
            it = m_programs.erase(it);  // no live process points to it
        } else {
            // Still running: its tracked processes keep pointing here and
            // count on from zero, as a new series would.
            ProgramMetrics fresh;
            fresh.path = std::move(p.path);
            fresh.name = std::move(p.name);
            fresh.processes = p.processes;
            fresh.lastBusy = now;
            p = std::move(fresh);
            ++it;
        }
    }
}
