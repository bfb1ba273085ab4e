#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// One file opened for reading at arbitrary offsets.
class IReadableFile {
public:
    virtual ~IReadableFile() = default;
    // Size in bytes when it was opened.
    virtual std::uint64_t Size() const = 0;
    // Reads exactly `size` bytes at `offset` into buffer. false when the file
    // holds fewer bytes there or the read fails; the buffer is then undefined.
    virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// The contents of files, as far as the core reads them.
class IFileContent {
public:
    virtual ~IFileContent() = default;
    // Opens a regular file (links followed). Null for folders, devices, pipes
    // and sockets, and on any failure; opening never blocks.
    virtual std::unique_ptr<IReadableFile> OpenFile(const std::string& path) = 0;
};
