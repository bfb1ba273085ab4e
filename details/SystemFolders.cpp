#include "details/SystemFolders.h"

#include "details/Text.h"
#include "platform/FileSystem.h"

bool IsWindowsOrSystemFolder(const std::string& folder, IFileSystem& files) {
    auto same = [&folder](const std::string& dir) { return !dir.empty() && EqualsNoCase(folder, dir); };
    return same(files.GetWindowsDirectory()) || same(files.GetSystemDirectory());
}
