#pragma once
#include <set>
#include <string>

#include "platform/FileSystem.h"

// A set of existing paths; case-sensitive unless told otherwise.
class CFakeFileSystem : public IFileSystem {
public:
    std::set<std::string> entries;
    std::string windowsDir = "/usr/sbin";
    std::string systemDir = "/usr/bin";
    bool ignoreCase = false;
    int lookups = 0;

    bool EntryExists(const std::string& path) override;
    std::string GetWindowsDirectory() override { return windowsDir; }
    std::string GetSystemDirectory() override { return systemDir; }
    char PathSeparator() const override { return '/'; }
};
