#include "online/QueryText.h"

#include <ctime>

#include "platform/FileSystem.h"
#include "platform/FileTime.h"

std::string UrlEncode(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            out += c;
        } else {
            auto b = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0f];
        }
    }
    return out;
}

std::string FormatDateTime(std::int64_t time) {
    static_assert(sizeof(std::time_t) >= sizeof(std::int64_t), "64-bit time_t needed");
    if (time == 0) return "unknown";
    std::time_t t = static_cast<std::time_t>(time);
    // The user-interface thread is the only caller, so the shared result of
    // localtime is copied before anyone else can touch it.
    const std::tm* converted = std::localtime(&t);
    if (!converted) return {};
    std::tm local = *converted;
    char date[200];
    size_t dateLength = std::strftime(date, sizeof date, "%x", &local);
    char clock[128];
    size_t clockLength = std::strftime(clock, sizeof clock, " (%H:%M:%S)", &local);
    return std::string(date, dateLength) + std::string(clock, clockLength);
}

std::int32_t GetWindowsFolderStamp(IFileSystem& files) {
    std::string dir = files.GetWindowsDirectory();
    if (dir.empty()) return 0;
    std::int64_t birth = files.GetBirthTime(dir);
    if (birth == 0) return 0;
    return static_cast<std::int32_t>(TimeToFileTime(birth) & 0x7fffffffu);
}
