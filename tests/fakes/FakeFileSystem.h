#pragma once
#include <map>
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
    std::map<std::string, std::int64_t> birthTimes;
    std::int64_t GetBirthTime(const std::string& path) override {
        auto it = birthTimes.find(path);
        return it == birthTimes.end() ? 0 : it->second;
    }
    std::string GetWindowsDirectory() override { return windowsDir; }
    std::string GetSystemDirectory() override { return systemDir; }
    char PathSeparator() const override { return '/'; }
};
