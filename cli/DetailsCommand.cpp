#include "cli/DetailsCommand.h"

#include <ctime>
#include <string>

#include "cli/TerminalText.h"
#include "details/Details.h"
#include "monitor/Processes.h"
#include "platform/FileTime.h"

namespace {

std::string Time(std::int64_t seconds) {
    if (seconds == 0) return "0 (unknown)";
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    char text[64] = "";
    if (!gmtime_r(&t, &tm) || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm) == 0)
        return std::to_string(seconds);
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
