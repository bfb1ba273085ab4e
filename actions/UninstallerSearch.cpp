#include "actions/UninstallerSearch.h"

#include "details/SystemFolders.h"
#include "platform/FileSystem.h"

std::string FindUninstaller(const std::string& folder, IFileSystem& files) {
    if (IsWindowsOrSystemFolder(folder, files)) return {};
    static const char* const kCandidates[] = {"unwise.exe", "unins000.exe", "Uninstall.exe",
                                              "remove.exe", "uninst.exe"};
    std::string found;
    // Every candidate is tested; a later one wins over an earlier one.
    for (const char* name : kCandidates) {
        std::string path = folder + files.PathSeparator() + name;
        if (files.EntryExists(path)) found = path;
    }
    return found;
}
