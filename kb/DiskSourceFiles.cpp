#include "kb/DiskSourceFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <memory>

namespace {

struct GzClose {
    void operator()(gzFile f) const { gzclose(f); }
};
struct DirClose {
    void operator()(DIR* d) const { closedir(d); }
};

class CFd {
public:
    explicit CFd(int fd) : m_fd(fd) {}
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    ~CFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    int Get() const { return m_fd; }
    int Release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

bool EndsWith(const std::string& s, const char* suffix) {
    std::string_view end(suffix);
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool CDiskSourceFiles::Read(const std::string& path, std::size_t maxBytes, std::string& text) {
    text.clear();
    // Sources are regular files; a fifo or device in their place is skipped
    // rather than waited on.
    CFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0) return false;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    char buffer[16384];
    if (EndsWith(path, ".gz")) {
        std::unique_ptr<gzFile_s, GzClose> gz(gzdopen(fd.Get(), "rb"));
        if (!gz) return false;
        fd.Release();  // gzclose closes it now
        while (text.size() < maxBytes) {
            unsigned want = static_cast<unsigned>(std::min(sizeof buffer, maxBytes - text.size()));
            int n = gzread(gz.get(), buffer, want);
            if (n < 0) return false;
            if (n == 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }
    while (text.size() < maxBytes) {
        std::size_t want = std::min(sizeof buffer, maxBytes - text.size());
        ssize_t n = ::read(fd.Get(), buffer, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

std::vector<std::string> CDiskSourceFiles::List(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirClose> dir(::opendir(folder.c_str()));
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        names.emplace_back(name);
    }
    return names;
}

std::int64_t CDiskSourceFiles::ModifiedNs(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}
