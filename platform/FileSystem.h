#pragma once
#include <cstdint>
#include <string>

// The few file-system questions the core asks.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // A directory entry of exactly this path exists (file, folder or link,
    // the link itself not followed). Letter case matters only where the
    // file system makes it matter. Any failure to ask counts as absent.
    virtual bool EntryExists(const std::string& path) = 0;
    // Birth (creation) time of a file or folder in seconds since 1970 UTC;
    // 0 when the file system does not record one or it cannot be read.
    // Never the change time.
    virtual std::int64_t GetBirthTime(const std::string& path) = 0;
    // The folder where the operating system itself lives, and the folder of
    // its own programs: the Windows and system directories. Empty if unknown.
    virtual std::string GetWindowsDirectory() = 0;
    virtual std::string GetSystemDirectory() = 0;
    // Separator used to join a folder and a file name.
    virtual char PathSeparator() const = 0;
};
