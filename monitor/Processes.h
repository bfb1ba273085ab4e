#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "monitor/NetworkUsage.h"
#include "monitor/Process.h"
#include "monitor/ReportList.h"
#include "platform/ExitSource.h"

class IClock;
class IExitSource;
class IFileSystem;
class IProcessSource;

// What the process table asks of the system. The composition root hands in
// the real ones; tests hand in fakes. All must outlive the table.
struct MonitorPlatform {
    IClock& clock;
    IProcessSource& processes;
    IFileSystem& files;
    // Null: no uninstaller search (the actions layer brings one).
    UninstallerFinder findUninstaller = nullptr;
    // Null: network activity is not measured.
    INetworkSource* network = nullptr;
    // Null or not listening: processes that end between two snapshots are
    // seen only through their parent's grown children's time.
    IExitSource* exits = nullptr;
};

// The table of known processes, most recently active first. A record pointer
// is valid only until the next call that adds, removes or moves records
// (FindOrAdd, MoveToFront, RemoveStale, TakeSnapshot). Not thread-safe.
class CProcesses {
public:
    static constexpr std::uint64_t kProcessorThreshold = 10000ull * 100;  // 100 ms in 100 ns
    static constexpr std::int64_t kActivityWindow = 20;
    static constexpr std::int64_t kRetention = 30;
    static constexpr std::int64_t kKeepAfterSelection = 3;
    static constexpr std::int64_t kKeepWhileSelected = 1;

    explicit CProcesses(MonitorPlatform platform);

    int GetSize() const { return static_cast<int>(m_records.size()); }
    CProcess& operator[](int index) { return *m_records[static_cast<size_t>(index)]; }
    const CProcess& operator[](int index) const { return *m_records[static_cast<size_t>(index)]; }

    // The live record of pid; null for 0 and for unknown ids. Constant time.
    CProcess* FindByPid(std::uint32_t pid);
    // The record of pid, appended default-constructed if new; null for 0.
    CProcess* FindOrAdd(std::uint32_t pid);
    // Records not seen at `now` get pid 0 (ended); their data stays.
    void MarkEnded(std::int64_t now);
    // Deletes the records last seen before `limit`.
    void RemoveStale(std::int64_t limit);
    // Moves the record of pid to index 0; the others keep their order.
    void MoveToFront(std::uint32_t pid);

    // Samples every process once: new records, activity stamps, amounts,
    // ended and stale records. The first reading of a process only sets its
    // baseline, unless the process was born after the previous snapshot
    // (at the resolution of the source's start times; with a source that
    // cannot tell, in a later second): then it counts from zero. The first
    // snapshot only sets baselines. A process that runs another program
    // since the last sample (exec) is looked up again; a process under a
    // known id that started at another time is a new record, and the old
    // one ends. Processes that ended between two snapshots count for their
    // program, several of one program together in one record (from the exit
    // source), or, without one, for their parent ("its short-lived
    // programs").
    void TakeSnapshot();

    // Brings the list up to date with the table row by row: rows of records
    // no longer shown go, new ones are inserted, and only texts and colours
    // that changed are written. The selected program stays listed and its
    // row selected; once it has ended the selection is dropped. While it
    // runs, IsFillingList() is true so that the list's own selection
    // notifications can be ignored. A list changed by anyone else since the
    // last call is rebuilt whole.
    void FillList(IReportList& list);
    bool IsFillingList() const { return m_bFillingList; }

    // The selected process, owned here so that a refresh needs not ask the
    // list for it: its id, 0 for none. Select(0) drops the selection.
    void Select(std::uint32_t pid) { m_dwSelectedPid = pid; }
    std::uint32_t SelectedPid() const { return m_dwSelectedPid; }
    // The live record of the selected process, or null.
    CProcess* Selected() { return FindByPid(m_dwSelectedPid); }

    MonitorPlatform& Platform() { return m_platform; }
    // The traffic per process of the last snapshot.
    const CNetworkUsage& NetworkUsage() const { return m_network; }

private:
    void FindProgramFile(CProcess& record);
    enum class Sampled { kIdle, kActive, kProgramChanged, kOtherProcess };
    // Processes created at or after `bornAfter` (a FILETIME) measure their
    // first reading from zero.
    Sampled Sample(CProcess& record, std::int64_t now, std::uint64_t bornAfter);
    // The record met under pid this snapshot; a new one if the process is
    // not the one the table knew. Null for id 0.
    CProcess* Meet(std::uint32_t pid, std::int64_t now, std::uint64_t bornAfter, bool& active);
    // Counts what processes that ended since the last snapshot did; the
    // records that got activity join `active`.
    void CountEnded(std::int64_t now, std::vector<const CProcess*>& active);
    // The record of a group of ended processes, made if new.
    CProcess& Group(const std::string& key, const std::string& name);
    // Sets the activity stamps of a record from amounts; true if any.
    bool Stamp(CProcess& record, std::int64_t now, std::uint64_t processor, std::uint64_t disk);
    // Bytes per second from a growth over the last interval.
    std::uint64_t Rate(std::uint64_t growth) const;

    struct ChildGrowth {
        std::uint32_t pid;
        std::uint64_t time;
    };

    MonitorPlatform m_platform;
    // Held by pointer so that reordering a large table moves pointers, not
    // records.
    std::vector<std::unique_ptr<CProcess>> m_records;
    // pid -> its live record; records with pid 0 are not indexed.
    std::unordered_map<std::uint32_t, CProcess*> m_index;
    CNetworkUsage m_network;
    bool m_bFillingList = false;
    std::uint32_t m_dwSelectedPid = 0;
    // The records behind the list's rows as FillList last left them; a
    // record is never behind two rows.
    struct ListedRow {
        const CProcess* record;
        std::uint32_t data;
        ColorRef color;
        std::string program;
        std::string activity;
        std::string tip;
    };
    std::vector<ListedRow> m_listed;
    const IReportList* m_pListedIn = nullptr;
    // Whether bringing the listed rows to `wanted` takes more than `limit`
    // row insertions and deletions.
    bool RowEditsExceed(const std::unordered_set<const CProcess*>& shown,
                        const std::vector<ListedRow>& wanted, std::size_t limit) const;
    std::optional<std::int64_t> m_tPreviousSnapshot;  // clock of the last TakeSnapshot
    std::uint64_t m_ftPreviousEnumeration = 0;        // the source's instant of it, 0 unknown
    std::uint64_t m_ullInterval = 0;                  // 100-ns units between the last two
    std::vector<EndedProcess> m_ended;
    // Ends of processes still listed at the snapshot that heard them (a
    // zombie not yet waited for, or one of a process's threads): looked at
    // once more at the next snapshot.
    std::vector<EndedProcess> m_endedLater;
    std::size_t m_nEndedHeardNow = 0;         // m_ended's entries before the carried ones
    std::vector<ChildGrowth> m_childGrowth;  // this snapshot's, by parent
};

// The data of the row at the selection mark if that row is both selected
// and focused; 0 otherwise.
std::uint32_t GetSelectedRowData(const IReportList& list);

// The record of the row that is both selected and focused, or null (no such
// row, an ended program's row, or no live record for its id).
CProcess* GetSelectedProcess(const IReportList& list, CProcesses& processes);
