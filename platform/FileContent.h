#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

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
// ReadSome(offset, out, size > 0) reads up to size bytes: how many, 0 at the
// end, -1 on failure; it owns what it reads from.
template <class ReadSome>
class CSystemFile : public IReadableFile {
public:
    CSystemFile(std::uint64_t size, ReadSome readSome) : m_size(size), m_readSome(std::move(readSome)) {}
    std::uint64_t Size() const override { return m_size; }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        auto* out = static_cast<char*>(buffer);
        while (size > 0) {
            const std::int64_t n = m_readSome(offset, out, size);
            if (n <= 0) return false;
            out += n;
            offset += static_cast<std::uint64_t>(n);
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    std::uint64_t m_size;
    ReadSome m_readSome;
};

template <class ReadSome>
std::unique_ptr<IReadableFile> MakeSystemFile(std::uint64_t size, ReadSome readSome) {
    return std::make_unique<CSystemFile<ReadSome>>(size, std::move(readSome));
}

// The contents of files, as far as the core reads them.
class IFileContent {
public:
    virtual ~IFileContent() = default;
    // Opens a regular file (links followed). Null for folders, devices, pipes
    // and sockets, and on any failure; opening never blocks.
    virtual std::unique_ptr<IReadableFile> OpenFile(const std::string& path) = 0;
};
