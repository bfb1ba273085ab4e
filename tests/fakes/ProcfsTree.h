#pragma once
#include <cstdint>
#include <string>

// A procfs-shaped folder for tests and benchmarks: root/stat with btime,
// and per process stat, io, cmdline and an exe link. Files are rewritten in
// place, so descriptors kept open on them see the new content.
class CProcfsTree {
public:
    struct Proc {
        std::string comm = "proc";
        std::string exe;        // empty: no exe link (unreadable)
        std::string cmdline;    // argv joined by '\0'
        std::uint64_t flags = 0x00400100;
        std::uint64_t utime = 0, stime = 0, cutime = 0, cstime = 0;
        std::uint64_t starttime = 100;
        bool hasIo = true;
        std::uint64_t readBytes = 0, writeBytes = 0;
    };

    explicit CProcfsTree(const std::string& root, std::uint64_t btime = 1700000000);
    ~CProcfsTree();
    CProcfsTree(const CProcfsTree&) = delete;
    CProcfsTree& operator=(const CProcfsTree&) = delete;

    void Add(std::uint32_t pid, const Proc& proc);
    void WriteStat(std::uint32_t pid, const Proc& proc);
    void WriteIo(std::uint32_t pid, const Proc& proc);
    void WriteRaw(std::uint32_t pid, const std::string& file, const std::string& content);
    void Remove(std::uint32_t pid);
    const std::string& Root() const { return m_root; }

private:
    std::string m_root;
};
