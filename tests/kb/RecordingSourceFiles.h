#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "kb/DiskSourceFiles.h"

// The real file system, with a list of every path read or listed.
class CRecordingSourceFiles : public ISourceFiles {
public:
    bool Read(const std::string& path, std::size_t maxBytes, std::string& text) override {
        Note(path);
        return m_disk.Read(path, maxBytes, text);
    }
    std::vector<std::string> List(const std::string& folder) override {
        Note(folder);
        return m_disk.List(folder);
    }
    std::int64_t ModifiedNs(const std::string& path) override { return m_disk.ModifiedNs(path); }
    std::vector<std::string> Opened() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_opened;
    }

private:
    void Note(const std::string& path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_opened.push_back(path);
    }
    CDiskSourceFiles m_disk;
    std::mutex m_mutex;
    std::vector<std::string> m_opened;
};
