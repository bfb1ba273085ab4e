#pragma once
#include "platform/FileSystem.h"

// The real file system through the ANSI calls: creation times from the
// directory entry, the Windows and system directories as the system names
// them.
class CWin32FileSystem : public IFileSystem {
public:
    bool EntryExists(const std::string& path) override;
    std::int64_t GetBirthTime(const std::string& path) override;
    std::string GetWindowsDirectory() override;
    std::string GetSystemDirectory() override;
    char PathSeparator() const override { return '\\'; }
};
