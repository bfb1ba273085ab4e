#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

#include "monitor/Processes.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/FileTime.h"
#include "platform/ProcessSource.h"
#include "res/Text.h"

void CProcesses::FindProgramFile(CProcess& record) {
    IProcessSource& source = m_platform.processes;
    const long pid = static_cast<long>(record.m_dwPid);
    std::string path;
    if (source.GetModulePath(record.m_dwPid, path)) {
        if (path.empty()) {
            record.m_strError = FormatText("#error3: %li %li", pid, static_cast<long>(source.LastError()));
        } else {
            record.SetPath(path, m_platform.files, m_platform.findUninstaller);
        }
        return;
    }
    std::unique_ptr<IProcessQuery> query = source.OpenQuery(record.m_dwPid);
    if (!query) {
        record.m_strError = FormatText("#error1: %li %li", pid, static_cast<long>(source.LastError()));
        return;
    }
    if (query->QueryFullImageName(path) || query->GetImageFileName(path)) {
        record.SetPath(path, m_platform.files, m_platform.findUninstaller);
    } else {
        // The error alone does not say which program it is; the system's own
        // short name for it does.
        const std::string error = FormatText("#error2: %li %li", pid, static_cast<long>(query->LastError()));
        std::string name;
        record.m_strError = query->GetKernelName(name) && !name.empty() ? name + " (" + error + ")" : error;
    }
}

bool CProcesses::Sample(CProcess& record, std::int64_t now, std::uint64_t bornAfter) {
    IProcessQuery* query = record.GetQueryHandle(m_platform.processes);
    if (!query) return false;
    bool changed = false;
    ProcessTimes times;
    const bool timesRead = query->GetTimes(times);
    if (timesRead) record.m_ftCreation = times.creation;
    // A process born after the previous snapshot did all its work since then,
    // so a missing previous reading counts as zero instead of as unknown.
    const bool newborn = record.m_ftCreation >= bornAfter;
    if (timesRead) {
        if (record.m_bHasTimes || newborn) {
            const std::uint64_t user = record.m_bHasTimes ? record.m_ftUser : 0;
            const std::uint64_t kernel = record.m_bHasTimes ? record.m_ftKernel : 0;
            auto absdiff = [](std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; };
            std::uint64_t used = absdiff(times.user, user) + absdiff(times.kernel, kernel);
            if (used >= kProcessorThreshold) {
                record.m_tLastProcessor = now;
                record.m_tProcessorUntil = now + kActivityWindow;
                changed = true;
            }
        }
        record.m_ftKernel = times.kernel;
        record.m_ftUser = times.user;
        record.m_bHasTimes = true;
    }
    IoCounters io;
    if (query->GetIoCounters(io)) {
        if (record.m_bHasIo || newborn) {
            const std::uint64_t before = record.m_bHasIo ? record.m_ullReadBytes + record.m_ullWriteBytes : 0;
            auto delta = static_cast<std::int64_t>((io.readBytes + io.writeBytes) - before);
            if (delta > 0) {
                record.m_tLastDisk = now;
                record.m_tDiskUntil = now + kActivityWindow;
                changed = true;
            }
        }
        record.m_ullReadBytes = io.readBytes;
        record.m_ullWriteBytes = io.writeBytes;
        record.m_bHasIo = true;
    }
    if (m_network.HasReading()) {
        if ((record.m_bHasNetwork || newborn) && m_network.GrowthOf(record.m_dwPid) > 0) {
            record.m_tLastNetwork = now;
            record.m_tNetworkUntil = now + kActivityWindow;
            changed = true;
        }
        record.m_bHasNetwork = true;
    }
    record.CloseQueryHandle();
    return changed;
}

void CProcesses::TakeSnapshot() {
    std::vector<std::uint32_t> pids;
    m_platform.processes.EnumerateProcesses(pids);
    const std::int64_t now = m_platform.clock.Now();
    const std::uint32_t self = m_platform.processes.CurrentProcessId();
    // Creation times are finer than the clock: a birth within the previous
    // snapshot's second may have come before it, so only a later second
    // counts as born after it. The first snapshot has nothing before it.
    const std::uint64_t bornAfter = m_tPreviousSnapshot ? TimeToFileTime(*m_tPreviousSnapshot + 1)
                                                        : std::numeric_limits<std::uint64_t>::max();
    m_tPreviousSnapshot = now;
    if (m_platform.network) m_network.Update(*m_platform.network);

    // Active records go to the front, the one met last first. Moving them one
    // by one would cost a pass over the table per active process; collecting
    // them and reordering once gives the same order in one pass.
    std::vector<std::uint32_t> active;
    for (std::uint32_t pid : pids) {
        if (pid == 0 || pid == self) continue;
        CProcess* record = FindByPid(pid);
        if (record) {
            record->m_tLastSeen = now;
        } else {
            record = FindOrAdd(pid);
            if (!record) continue;
            record->m_tLastSeen = now;
            FindProgramFile(*record);
        }
        if (Sample(*record, now, bornAfter)) active.push_back(pid);
    }
    if (!active.empty()) {
        std::unordered_map<const CProcess*, size_t> rank;  // place at the front
        for (auto it = active.rbegin(); it != active.rend(); ++it) rank.emplace(m_index.at(*it), rank.size());
        std::vector<std::unique_ptr<CProcess>> reordered(rank.size());
        reordered.reserve(m_records.size());
        for (auto& owned : m_records) {
            auto found = rank.find(owned.get());
            if (found != rank.end()) reordered[found->second] = std::move(owned);
        }
        for (auto& owned : m_records)
            if (owned) reordered.push_back(std::move(owned));
        m_records = std::move(reordered);
    }
    MarkEnded(now);
    RemoveStale(now - kRetention);
}
