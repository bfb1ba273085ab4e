#include "tests/fakes/ProcfsTree.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {
void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}
}  // namespace

CProcfsTree::CProcfsTree(const std::string& root, std::uint64_t btime) : m_root(root) {
    fs::remove_all(m_root);
    fs::create_directories(m_root);
    WriteFile(fs::path(m_root) / "stat", "cpu  1 2 3 4\nintr 0\nctxt 5\nbtime " + std::to_string(btime) + "\nprocesses 9\n");
    fs::create_directories(fs::path(m_root) / "self");
}

CProcfsTree::~CProcfsTree() {
    std::error_code ec;
    fs::remove_all(m_root, ec);
}

void CProcfsTree::Add(std::uint32_t pid, const Proc& proc) {
    fs::path dir = fs::path(m_root) / std::to_string(pid);
    fs::create_directories(dir);
    WriteStat(pid, proc);
    if (proc.hasIo) WriteIo(pid, proc);
    WriteFile(dir / "cmdline", proc.cmdline);
    WriteFile(dir / "comm", proc.comm + "\n");
    if (!proc.exe.empty()) fs::create_symlink(proc.exe, dir / "exe");
}

void CProcfsTree::WriteStat(std::uint32_t pid, const Proc& p) {
    std::ostringstream s;
    // Fields 1-52 as the kernel writes them; the ones not modelled are 0.
    s << pid << " (" << p.comm << ") S 1 " << pid << " " << pid << " 0 -1 " << p.flags << " 0 0 0 0 "
      << p.utime << " " << p.stime << " " << p.cutime << " " << p.cstime << " 20 0 1 0 " << p.starttime;
    for (int f = 23; f <= 52; ++f) s << " 0";
    s << "\n";
    WriteRaw(pid, "stat", s.str());
}

void CProcfsTree::WriteIo(std::uint32_t pid, const Proc& p) {
    std::ostringstream s;
    s << "rchar: " << p.readBytes + 4096 << "\nwchar: " << p.writeBytes + 100 << "\nsyscr: 10\nsyscw: 5\n"
      << "read_bytes: " << p.readBytes << "\nwrite_bytes: " << p.writeBytes << "\ncancelled_write_bytes: 0\n";
    WriteRaw(pid, "io", s.str());
}

void CProcfsTree::WriteRaw(std::uint32_t pid, const std::string& file, const std::string& content) {
    WriteFile(fs::path(m_root) / std::to_string(pid) / file, content);
}

void CProcfsTree::Remove(std::uint32_t pid) { fs::remove_all(fs::path(m_root) / std::to_string(pid)); }
