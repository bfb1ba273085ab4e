#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>

#include "metrics/ProgramMetrics.h"
#include "platform/ProcessSource.h"

class CProcess;
class CProcesses;

// Sums, per program, what the process table measured tick by tick. A
// process's growth since the previous tick goes to the program it runs now;
// a process that ends keeps what it gave. Processes already running at the
// first tick count from there; later ones count from zero (they were born
// since the tick before). A program gets series once it has been busy and
// loses them after `quietPeriod` seconds without activity: then it is
// forgotten if nothing of it runs, or starts again from zero if it does, so
// memory stays bounded by the programs running or busy lately.
class CMetricsCollector {
public:
    static constexpr std::int64_t kDefaultQuietPeriod = 600;
    static constexpr const char* kUnknownName = "(unknown)";

    explicit CMetricsCollector(std::int64_t quietPeriod = kDefaultQuietPeriod) : m_quietPeriod(quietPeriod) {}
    CMetricsCollector(const CMetricsCollector&) = delete;
    CMetricsCollector& operator=(const CMetricsCollector&) = delete;

    // Call after every TakeSnapshot, with the clock read after it.
    void Update(const CProcesses& table, std::int64_t now);

    // Every program known, by path; only those with busyOnce have series.
    const std::map<std::string, ProgramMetrics>& Programs() const { return m_programs; }

private:
    struct Tracked {
        std::uint64_t creation = 0;  // tells a reused id
        // The readings counted last, if any.
        std::optional<std::uint64_t> cpuTime;
        std::optional<IoCounters> io;
        ProgramMetrics* program = nullptr;
        std::uint64_t tick = 0;
    };
    ProgramMetrics& ProgramOf(const std::string& path, const std::string& name, std::int64_t now);
    static void MarkListed(ProgramMetrics& program, const CProcess& record, std::int64_t now);
    void ForgetQuiet(std::int64_t now);

    std::int64_t m_quietPeriod;
    std::map<std::string, ProgramMetrics> m_programs;
    std::unordered_map<std::uint32_t, Tracked> m_processes;  // live processes by id
    std::uint64_t m_tick = 0;
    std::int64_t m_previousNow = 0;
};
