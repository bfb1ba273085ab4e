#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

#include "monitor/Processes.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/FileTime.h"
#include "platform/ProcessSource.h"
#include "res/TextFormat.h"

namespace {
constexpr const char kDeletedSuffix[] = " (deleted)";
constexpr const char kMemoryFilePrefix[] = "/memfd:";

bool EndsWith(const std::string& s, const char* suffix) {
    const std::string_view tail(suffix);
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Whether the process runs another program than at the last sample, as far
// as the system tells.
bool RunsAnotherProgram(const ProcessExtras& last, const ProcessExtras& now) {
    return (!last.name.empty() && !now.name.empty() && now.name != last.name) ||
           (last.imageStamp != 0 && now.imageStamp != 0 && now.imageStamp != last.imageStamp);
}
}  // namespace

void CProcesses::FindProgramFile(CProcess& record) {
    IProcessSource& source = m_platform.processes;
    const long pid = static_cast<long>(record.m_dwPid);
    std::string path;
    if (source.GetModulePath(record.m_dwPid, path)) {
        // The kernel marks a program whose file was deleted or replaced
        // since it started; one started from memory never had a file.
        if (EndsWith(path, kDeletedSuffix)) {
            path.resize(path.size() - (sizeof kDeletedSuffix - 1));
            if (path.rfind(kMemoryFilePrefix, 0) == 0) {
                record.m_bNoFile = true;
                record.m_strFileName = record.m_extras.name.empty() ? path.substr(1) : record.m_extras.name;
                return;
            }
            record.m_bFileReplaced = true;
        }
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

std::uint64_t CProcesses::Rate(std::uint64_t growth) const {
    if (m_ullInterval == 0) return 0;
    return static_cast<std::uint64_t>(static_cast<double>(growth) * kFileTimeUnitsPerSecond /
                                      static_cast<double>(m_ullInterval));
}

bool CProcesses::Stamp(CProcess& record, std::int64_t now, std::uint64_t processor, std::uint64_t disk) {
    bool changed = false;
    if (processor >= kProcessorThreshold) {
        record.m_tLastProcessor = now;
        record.m_tProcessorUntil = now + kActivityWindow;
        changed = true;
    }
    if (disk > 0) {
        record.m_tLastDisk = now;
        record.m_tDiskUntil = now + kActivityWindow;
        changed = true;
    }
    return changed;
}

CProcesses::Sampled CProcesses::Sample(CProcess& record, std::int64_t now, std::uint64_t bornAfter) {
    IProcessQuery* query = record.GetQueryHandle(m_platform.processes);
    if (!query) return Sampled::kIdle;
    bool changed = false;
    bool programChanged = false;
    ProcessTimes times;
    const bool timesRead = query->GetTimes(times);
    if (timesRead) {
        // Another start time under the same id is another process.
        if (record.m_bHasTimes && times.creation != record.m_ftCreation) {
            record.CloseQueryHandle();
            return Sampled::kOtherProcess;
        }
        record.m_ftCreation = times.creation;
        programChanged = RunsAnotherProgram(record.m_extras, times.extras);
    }
    // A process born after the previous snapshot did all its work since then,
    // so a missing previous reading counts as zero instead of as unknown.
    const bool newborn = record.m_ftCreation >= bornAfter;
    auto absdiff = [](std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; };
    if (timesRead) {
        if (record.m_bHasTimes || newborn) {
            const std::uint64_t user = record.m_bHasTimes ? record.m_ftUser : 0;
            const std::uint64_t kernel = record.m_bHasTimes ? record.m_ftKernel : 0;
            const std::uint64_t used = absdiff(times.user, user) + absdiff(times.kernel, kernel);
            changed |= Stamp(record, now, used, 0);
            record.m_dProcessorShare =
                m_ullInterval ? static_cast<double>(used) / static_cast<double>(m_ullInterval) : 0;
        }
        record.m_ftKernel = times.kernel;
        record.m_ftUser = times.user;
        record.m_bHasTimes = true;
        const std::optional<std::uint64_t>& children = times.extras.childTime;
        if (children && (record.m_extras.childTime || newborn) && !programChanged) {
            const std::uint64_t before = record.m_extras.childTime.value_or(0);
            if (*children > before) m_childGrowth.push_back({record.m_dwPid, *children - before});
        }
        record.m_extras = std::move(times.extras);
    }
    IoCounters io;
    if (query->GetIoCounters(io)) {
        if (record.m_bHasIo || newborn) {
            const std::uint64_t read = record.m_bHasIo ? record.m_ullReadBytes : 0;
            const std::uint64_t write = record.m_bHasIo ? record.m_ullWriteBytes : 0;
            auto delta = static_cast<std::int64_t>((io.readBytes + io.writeBytes) - (read + write));
            changed |= Stamp(record, now, 0, delta > 0 ? static_cast<std::uint64_t>(delta) : 0);
            record.m_ullDiskReadRate = io.readBytes > read ? Rate(io.readBytes - read) : 0;
            record.m_ullDiskWriteRate = io.writeBytes > write ? Rate(io.writeBytes - write) : 0;
        }
        record.m_ullReadBytes = io.readBytes;
        record.m_ullWriteBytes = io.writeBytes;
        record.m_bHasIo = true;
    }
    if (m_network.HasReading()) {
        if (record.m_bHasNetwork || newborn) {
            if (m_network.GrowthOf(record.m_dwPid) > 0) {
                record.m_tLastNetwork = now;
                record.m_tNetworkUntil = now + kActivityWindow;
                changed = true;
            }
            const std::uint64_t moved = m_network.GrowthOf(record.m_dwPid);
            const std::uint64_t received = std::min(m_network.ReceivedGrowthOf(record.m_dwPid), moved);
            record.m_ullNetReceiveRate = Rate(received);
            record.m_ullNetSendRate = Rate(moved - received);
        }
        record.m_bHasNetwork = true;
    }
    record.m_tAmountsAt = now;
    record.CloseQueryHandle();
    if (programChanged) return Sampled::kProgramChanged;
    return changed ? Sampled::kActive : Sampled::kIdle;
}

CProcess* CProcesses::Meet(std::uint32_t pid, std::int64_t now, std::uint64_t bornAfter, bool& active) {
    CProcess* record = FindByPid(pid);
    if (record) {
        const std::int64_t lastSeen = record->m_tLastSeen;
        record->m_tLastSeen = now;
        switch (Sample(*record, now, bornAfter)) {
            case Sampled::kIdle:
                return record;
            case Sampled::kActive:
                active = true;
                return record;
            case Sampled::kProgramChanged:
                // Counts as the new program from now on; what it did since
                // the last sample was done under either name.
                active = record->m_tLastProcessor == now || record->m_tLastDisk == now ||
                         record->m_tLastNetwork == now;
                record->ForgetProgram();
                FindProgramFile(*record);
                return record;
            case Sampled::kOtherProcess:
                // The process the record knew ended when it was last seen.
                record->m_tLastSeen = lastSeen;
                m_index.erase(pid);
                record->m_dwPid = 0;
                break;
        }
    }
    record = FindOrAdd(pid);
    if (!record) return nullptr;
    record->m_tLastSeen = now;
    // The sample comes first: it tells the kernel's name, which names a
    // program without a file.
    active = Sample(*record, now, bornAfter) != Sampled::kIdle;
    FindProgramFile(*record);
    return record;
}

void CProcesses::TakeSnapshot() {
    // Ends reported before the processes are listed: a process listed now
    // has not ended before this point, so nothing is counted twice.
    m_ended.clear();
    if (m_platform.exits && m_platform.exits->IsListening()) m_platform.exits->TakeEnded(m_ended);
    const std::size_t heardNow = m_ended.size();
    m_ended.insert(m_ended.end(), m_endedLater.begin(), m_endedLater.end());
    m_endedLater.clear();
    m_nEndedHeardNow = heardNow;
    m_childGrowth.clear();

    std::vector<std::uint32_t> pids;
    m_platform.processes.EnumerateProcesses(pids);
    const std::int64_t now = m_platform.clock.Now();
    const std::uint32_t self = m_platform.processes.CurrentProcessId();
    const std::uint64_t enumerated = m_platform.processes.EnumerationTime();
    // With the source's own instant, a birth at or after it is newer than
    // the previous snapshot. Without it only the clock's seconds are known:
    // a birth within the previous snapshot's second may have come before it,
    // so only a later second counts. The first snapshot has nothing before it.
    std::uint64_t bornAfter = std::numeric_limits<std::uint64_t>::max();
    if (m_ftPreviousEnumeration != 0 && enumerated != 0)
        bornAfter = m_ftPreviousEnumeration;
    else if (m_tPreviousSnapshot)
        bornAfter = TimeToFileTime(*m_tPreviousSnapshot + 1);
    if (m_ftPreviousEnumeration != 0 && enumerated > m_ftPreviousEnumeration)
        m_ullInterval = enumerated - m_ftPreviousEnumeration;
    else if (m_tPreviousSnapshot && now > *m_tPreviousSnapshot)
        m_ullInterval = static_cast<std::uint64_t>(now - *m_tPreviousSnapshot) * kFileTimeUnitsPerSecond;
    else
        m_ullInterval = 0;
    m_tPreviousSnapshot = now;
    m_ftPreviousEnumeration = enumerated;
    if (m_platform.network) m_network.Update(*m_platform.network);

    // Active records go to the front, the one met last first. Moving them one
    // by one would cost a pass over the table per active process; collecting
    // them and reordering once gives the same order in one pass.
    std::vector<const CProcess*> active;
    for (std::uint32_t pid : pids) {
        if (pid == 0 || pid == self) continue;
        bool busy = false;
        CProcess* record = Meet(pid, now, bornAfter, busy);
        if (record && busy) active.push_back(record);
    }
    CountEnded(now, active);
    if (!active.empty()) {
        std::unordered_map<const CProcess*, size_t> rank;  // place at the front
        for (auto it = active.rbegin(); it != active.rend(); ++it) rank.emplace(*it, rank.size());
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
