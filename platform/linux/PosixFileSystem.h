#pragma once
#include "platform/FileSystem.h"

// The real file system. The operating system's own folders are /usr/sbin
// (in the role of the Windows directory) and /usr/bin (system directory).
class CPosixFileSystem : public IFileSystem {
public:
    bool EntryExists(const std::string& path) override;
    std::int64_t GetBirthTime(const std::string& path) override;
    std::string GetWindowsDirectory() override { return "/usr/sbin"; }
    std::string GetSystemDirectory() override { return "/usr/bin"; }
    char PathSeparator() const override { return '/'; }
};
