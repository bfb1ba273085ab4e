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

// A file of the system, read in as many calls as the system needs.
class CSystemFile : public IReadableFile {
public:
    explicit CSystemFile(std::uint64_t size) : m_size(size) {}
    std::uint64_t Size() const final { return m_size; }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) final {
        auto* out = static_cast<char*>(buffer);
        while (size > 0) {
            const std::int64_t n = ReadSome(offset, out, size);
            if (n <= 0) return false;
            out += n;
            offset += static_cast<std::uint64_t>(n);
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

protected:
    // Reads up to size (> 0) bytes at offset: how many, 0 at the end, -1 on failure.
    virtual std::int64_t ReadSome(std::uint64_t offset, char* out, std::size_t size) = 0;

private:
    std::uint64_t m_size;
};

// The contents of files, as far as the core reads them.
class IFileContent {
public:
    virtual ~IFileContent() = default;
    // Opens a regular file (links followed). Null for folders, devices, pipes
    // and sockets, and on any failure; opening never blocks.
    virtual std::unique_ptr<IReadableFile> OpenFile(const std::string& path) = 0;
};
