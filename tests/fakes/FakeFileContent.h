#pragma once
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileContent.h"

// A file held in memory.
class CMemoryFile : public IReadableFile {
public:
    explicit CMemoryFile(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        ++reads;
        if (offset > m_bytes.size() || size > m_bytes.size() - offset) return false;
        if (size) std::memcpy(buffer, m_bytes.data() + offset, size);
        return true;
    }
    int reads = 0;

private:
    std::string m_bytes;
};

// Files by path; every other path cannot be opened.
class CFakeFileContent : public IFileContent {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, int> opens;  // how often each path was opened

    void Put(const std::string& path, std::string bytes) { files[path] = std::move(bytes); }
    void Put(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        files[path] = std::string(bytes.begin(), bytes.end());
    }

    std::unique_ptr<IReadableFile> OpenFile(const std::string& path) override {
        ++opens[path];
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        return std::make_unique<CMemoryFile>(it->second);
    }
};
