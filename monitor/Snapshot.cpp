#include <algorithm>
#include <unordered_map>
#include <vector>

#include "monitor/Processes.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
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
        record.m_strError = FormatText("#error2: %li %li", pid, static_cast<long>(query->LastError()));
    }
}

bool CProcesses::Sample(CProcess& record, std::int64_t now) {
    IProcessQuery* query = record.GetQueryHandle(m_platform.processes);
    if (!query) return false;
    bool changed = false;
    ProcessTimes times;
    if (query->GetTimes(times)) {
        if (record.m_bHasTimes) {
            auto absdiff = [](std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; };
            std::uint64_t used =
                absdiff(times.user, record.m_ftUser) + absdiff(times.kernel, record.m_ftKernel);
            if (used >= kProcessorThreshold) {
                record.m_tLastProcessor = now;
                record.m_tProcessorUntil = now + kActivityWindow;
                changed = true;
            }
        }
        record.m_ftCreation = times.creation;
        record.m_ftKernel = times.kernel;
        record.m_ftUser = times.user;
        record.m_bHasTimes = true;
    }
    IoCounters io;
    if (query->GetIoCounters(io)) {
        if (record.m_bHasIo) {
            auto delta = static_cast<std::int64_t>((io.readBytes + io.writeBytes) -
                                                   (record.m_ullReadBytes + record.m_ullWriteBytes));
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
        if (record.m_bHasNetwork && m_network.GrowthOf(record.m_dwPid) > 0) {
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
        if (Sample(*record, now)) active.push_back(pid);
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
