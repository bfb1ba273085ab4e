#include "cli/DetailsCommand.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "res/PrintableText.h"
#include "details/Details.h"
#include "monitor/Processes.h"
#include "platform/FileTime.h"

namespace {

std::string Time(std::int64_t seconds) {
    if (seconds == 0) return "0 (unknown)";
    // Years 1 to 9999 only, as four-digit years.
    constexpr std::int64_t kFirst = -62135596800, kLast = 253402300799;
    if (seconds < kFirst || seconds > kLast) return std::to_string(seconds);
    using namespace std::chrono;
    const sys_seconds t{std::chrono::seconds(seconds)};
    const sys_days day = floor<days>(t);
    const year_month_day date{day};
    const hh_mm_ss clock{t - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d UTC", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return std::to_string(seconds) + " (" + text + ")";
}

}  // namespace

int RunDetails(std::uint32_t pid, CProcesses& processes, DetailsContext& context, std::FILE* out,
               std::FILE* err) {
    processes.TakeSnapshot();
    CProcess* record = processes.FindByPid(pid);
    if (!record) {
        std::fprintf(err,
                     "loadwatch-cli: no process with id %u (or one that is not sampled: a kernel thread)\n",
                     static_cast<unsigned>(pid));
        return 2;
    }
    LoadDetails(*record, processes, context);
    record = processes.FindByPid(pid);
    if (!record) {
        std::fprintf(err, "loadwatch-cli: process %u ended\n", static_cast<unsigned>(pid));
        return 2;
    }
    const CProcess& r = *record;
    auto line = [out](const char* key, const std::string& value) {
        std::fprintf(out, "%s: %s\n", key, Printable(value).c_str());
    };
    line("pid", std::to_string(r.m_dwPid));
    if (!r.m_strError.empty()) line("error", r.m_strError);
    line("path", r.m_strPath);
    line("folder", r.m_strFolder);
    line("file", r.m_strFileName);
    line("file created", Time(r.m_tFileCreated));
    line("folder created", Time(r.m_tFolderCreated));
    for (const VersionKey& k : kVersionKeys) line(k.name, r.m_versionStrings.*k.field);
    line("signed", r.m_bSigned ? "1" : "0");
    line("in windows folder", r.m_bInWindowsFolder ? "1" : "0");
    line("process started", Time(FileTimeToTime(r.m_ftCreation)));
    return 0;
}
