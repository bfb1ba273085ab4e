#include "online/DateText.h"

#include <ctime>
#include <mutex>

std::string FormatDateTime(std::int64_t time) {
    static_assert(sizeof(std::time_t) >= sizeof(std::int64_t), "64-bit time_t needed");
    if (time == 0) return "unknown";
    std::time_t t = static_cast<std::time_t>(time);
    // localtime's result is shared by all its callers, and the knowledge
    // base's workers call it at once: one at a time, copied at once.
    static std::mutex s_localtime;
    std::tm local;
    {
        std::lock_guard<std::mutex> lock(s_localtime);
        const std::tm* converted = std::localtime(&t);
        if (!converted) return {};
        local = *converted;
    }
    char date[200];
    size_t dateLength = std::strftime(date, sizeof date, "%x", &local);
    char clock[128];
    size_t clockLength = std::strftime(clock, sizeof clock, " (%H:%M:%S)", &local);
    return std::string(date, dateLength) + std::string(clock, clockLength);
}
