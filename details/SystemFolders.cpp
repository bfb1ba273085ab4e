#include "details/SystemFolders.h"

#include "platform/FileSystem.h"
#include "res/CaseInsensitive.h"

bool IsWindowsOrSystemFolder(const std::string& folder, IFileSystem& files) {
    auto same = [&folder](const std::string& dir) { return !dir.empty() && EqualsNoCase(folder, dir); };
    return same(files.GetWindowsDirectory()) || same(files.GetSystemDirectory());
}
