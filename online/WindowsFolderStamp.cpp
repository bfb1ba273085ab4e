#include "online/WindowsFolderStamp.h"

#include "platform/FileSystem.h"
#include "platform/FileTime.h"

std::int32_t GetWindowsFolderStamp(IFileSystem& files) {
    std::string dir = files.GetWindowsDirectory();
    if (dir.empty()) return 0;
    std::int64_t birth = files.GetBirthTime(dir);
    if (birth == 0) return 0;
    return static_cast<std::int32_t>(TimeToFileTime(birth) & 0x7fffffffu);
}
