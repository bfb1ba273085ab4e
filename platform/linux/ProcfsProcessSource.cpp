#include "platform/linux/ProcfsProcessSource.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>

#include "platform/FileTime.h"
#include "platform/linux/BootTime.h"

namespace {
constexpr std::uint64_t kPfKthread = 0x00200000;
constexpr long kReservedFds = 256;  // for everything else

bool ParseU64(std::string_view s, std::uint64_t& out) {
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

// pread of a whole small file from offset 0; procfs regenerates it each time.
bool PreadAll(int fd, std::string& text, int& err) {
    char buf[4096];
    text.clear();
    off_t off = 0;
    for (;;) {
        ssize_t n = ::pread(fd, buf, sizeof buf, off);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) break;
        text.append(buf, static_cast<size_t>(n));
        off += n;
        // procfs hands over a whole small file in one read; asking again at
        // the end would make it generate the text a second time.
        if (static_cast<size_t>(n) < sizeof buf || text.size() > (1u << 20)) break;
    }
    return true;
}

std::uint64_t TicksToUnits(std::uint64_t ticks, long hz) {
    return ticks / static_cast<std::uint64_t>(hz) * kFileTimeUnitsPerSecond +
           ticks % static_cast<std::uint64_t>(hz) * kFileTimeUnitsPerSecond / static_cast<std::uint64_t>(hz);
}

// Descriptors the cache may hold: the given number, or what RLIMIT_NOFILE
// leaves after a reserve for everything else.
long DescriptorBudget(long given) {
    if (given >= 0) return given;
    rlimit lim{};
    long soft = ::getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY
                    ? static_cast<long>(lim.rlim_cur)
                    : 1024;
    return soft > kReservedFds ? soft - kReservedFds : 0;
}

bool IsPidName(const char* name, std::uint32_t& pid) {
    std::uint64_t v = 0;
    if (!ParseU64(name, v) || v == 0 || v > 0xFFFFFFFFull) return false;
    pid = static_cast<std::uint32_t>(v);
    return true;
}
}  // namespace

class CProcfsProcessSource::Query : public IProcessQuery {
public:
    Query(CProcfsProcessSource& source, std::uint32_t pid, std::uint64_t serial)
        : m_source(source), m_pid(pid), m_serial(serial) {}

    bool GetTimes(ProcessTimes& times) override {
        Entry* e = m_source.FindEntry(m_pid, m_serial);
        if (!e) return Fail(ESRCH);
        std::string text;
        int err = 0;
        if (!m_source.ReadStat(m_pid, *e, text, err)) return Fail(err);
        StatFields f;
        if (!ParseStatLine(text, f)) return Fail(EINVAL);
        long hz = m_source.m_ticksPerSecond;
        times.user = TicksToUnits(f.utime, hz);
        times.kernel = TicksToUnits(f.stime, hz);
        times.creation = m_source.m_bootTime + TicksToUnits(f.starttime, hz);
        times.extras.name = std::move(f.comm);
        // The kernel shows 1 for code bounds it hides from us, 0 for none.
        times.extras.imageStamp = f.startcode <= 1 && f.endcode <= 1 ? 0 : f.startcode * 1000003u ^ f.endcode;
        times.extras.parentPid = static_cast<std::uint32_t>(f.ppid);
        times.extras.childTime = TicksToUnits(f.cutime + f.cstime, hz);
        e->childTicks = f.cutime + f.cstime;
        return true;
    }

    bool GetIoCounters(IoCounters& counters) override {
        Entry* e = m_source.FindEntry(m_pid, m_serial);
        if (!e) return Fail(ESRCH);
        std::string text;
        int err = 0;
        if (!m_source.ReadFileIn(m_pid, *e, &e->io, "io", text, err)) return Fail(err);
        // With stat and io held, the folder is no longer needed: one
        // descriptor less per process.
        if (e->io) e->dir.Reset();
        std::uint64_t rd = 0, wr = 0;
        if (!ParseIoText(text, rd, wr)) return Fail(EINVAL);
        if (e->haveIo && e->childTicks != e->childTicksAtIo) {
            // A child was reaped since the last reading: its I/O just landed
            // in these counters. Leave this step's growth out.
            if (rd >= e->lastRawRead) e->offsetRead += rd - e->lastRawRead;
            if (wr >= e->lastRawWrite) e->offsetWrite += wr - e->lastRawWrite;
        }
        e->haveIo = true;
        e->childTicksAtIo = e->childTicks;
        e->lastRawRead = rd;
        e->lastRawWrite = wr;
        counters.readBytes = rd >= e->offsetRead ? rd - e->offsetRead : 0;
        counters.writeBytes = wr >= e->offsetWrite ? wr - e->offsetWrite : 0;
        return true;
    }

    bool QueryFullImageName(std::string& path) override {
        Entry* e = m_source.FindEntry(m_pid, m_serial);
        if (!e) return Fail(ESRCH);
        std::string text;
        int err = 0;
        if (!m_source.ReadFileIn(m_pid, *e, nullptr, "cmdline", text, err)) return Fail(err);
        std::string argv0 = text.substr(0, text.find('\0'));
        struct stat st {};
        if (argv0.empty() || argv0[0] != '/') return Fail(ENOENT);
        if (::stat(argv0.c_str(), &st) != 0) return Fail(errno);
        if (!S_ISREG(st.st_mode)) return Fail(ENOENT);
        path = argv0;
        return true;
    }

    bool GetImageFileName(std::string&) override { return false; }
    bool GetKernelName(std::string& name) override {
        // proc(5): comm, readable for every process, ends with a newline.
        Entry* e = m_source.FindEntry(m_pid, m_serial);
        std::string text;
        int err = 0;
        if (!e || !m_source.ReadFileIn(m_pid, *e, nullptr, "comm", text, err)) return false;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        name = text;
        return true;
    }
    int LastError() const override { return m_error; }

private:
    bool Fail(int err) {
        m_error = err;
        return false;
    }
    CProcfsProcessSource& m_source;
    std::uint32_t m_pid;
    std::uint64_t m_serial;
    int m_error = 0;
};

CProcfsProcessSource::CProcfsProcessSource() : CProcfsProcessSource(Options{}) {}

CProcfsProcessSource::CProcfsProcessSource(Options options)
    : m_options(std::move(options)), m_budget(DescriptorBudget(m_options.fdBudget)) {
    long hz = ::sysconf(_SC_CLK_TCK);
    if (hz > 0) m_ticksPerSecond = hz;
    OpenRoot();
}

CProcfsProcessSource::~CProcfsProcessSource() = default;

bool CProcfsProcessSource::OpenRoot() {
    if (m_root) return true;
    m_root.Reset(::open(m_options.root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_root) {
        m_lastError = errno;
        return false;
    }
    // Boot time anchors every process's start time.
    UniqueFd stat(::openat(m_root.Get(), "stat", O_RDONLY | O_CLOEXEC));
    std::string text;
    int err = 0;
    if (stat && PreadAll(stat.Get(), text, err)) {
        size_t at = text.find("\nbtime ");
        if (at != std::string::npos) {
            size_t b = at + 7, e = text.find('\n', b);
            std::uint64_t btime = 0;
            if (ParseU64(std::string_view(text).substr(b, e - b), btime)) {
                m_bootTime = BootFileTime(btime);
                // Only the running system's tree counts on the boot-time
                // clock of this machine; a generated tree keeps its own.
                timespec real{}, boot{};
                ::clock_gettime(CLOCK_REALTIME, &real);
                ::clock_gettime(CLOCK_BOOTTIME, &boot);
                const std::int64_t booted = real.tv_sec - boot.tv_sec;
                m_liveClock = booted - static_cast<std::int64_t>(btime) <= 1 &&
                              static_cast<std::int64_t>(btime) - booted <= 1;
            }
        }
    }
    return true;
}

void CProcfsProcessSource::DropEntry(std::uint32_t pid) { m_entries.erase(pid); }

CProcfsProcessSource::Entry* CProcfsProcessSource::FindEntry(std::uint32_t pid, std::uint64_t serial) {
    auto it = m_entries.find(pid);
    if (it == m_entries.end() || it->second.serial != serial || it->second.gone) return nullptr;
    return &it->second;
}

int CProcfsProcessSource::OpenInEntry(std::uint32_t pid, Entry& e, BudgetedFd* slot, const char* name,
                                      UniqueFd& temp) {
    if (slot && *slot) return slot->Get();
    temp.Reset(
        e.dir ? ::openat(e.dir.Get(), name, O_RDONLY | O_CLOEXEC)
              : ::openat(m_root.Get(), (std::to_string(pid) + "/" + name).c_str(), O_RDONLY | O_CLOEXEC));
    if (!temp) return -1;
    if (!slot) return temp.Get();
    if (!slot->Adopt(m_budget, temp) && slot != &e.dir && e.dir) {
        // Out of budget: the folder is worth less than a file read every
        // tick, so give it up for this one.
        e.dir.Reset();
        slot->Adopt(m_budget, temp);
    }
    return *slot ? slot->Get() : temp.Get();
}

bool CProcfsProcessSource::ReadFileIn(std::uint32_t pid, Entry& e, BudgetedFd* slot, const char* name,
                                      std::string& text, int& err) {
    UniqueFd temp;
    int fd = OpenInEntry(pid, e, slot, name, temp);
    if (fd < 0) {
        err = errno;
        if (err == ESRCH || err == ENOENT) e.gone = true;
        return false;
    }
    if (!PreadAll(fd, text, err)) {
        if (err == ESRCH) e.gone = true;
        return false;
    }
    return true;
}

bool CProcfsProcessSource::ReadStat(std::uint32_t pid, Entry& e, std::string& text, int& err) {
    return ReadFileIn(pid, e, &e.stat, "stat", text, err);
}

CProcfsProcessSource::Entry* CProcfsProcessSource::OpenEntry(std::uint32_t pid) {
    DropEntry(pid);
    std::string name = std::to_string(pid);
    UniqueFd dir(::openat(m_root.Get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir) {
        m_lastError = errno;
        return nullptr;
    }
    Entry& e = m_entries[pid];
    e.serial = m_nextSerial++;
    e.generation = m_generation;
    // Over budget, reads go by path from the root instead.
    e.dir.Adopt(m_budget, dir);
    std::string text;
    int err = 0;
    StatFields f;
    if (!ReadStat(pid, e, text, err) || !ParseStatLine(text, f)) {
        m_lastError = err ? err : EINVAL;
        DropEntry(pid);
        return nullptr;
    }
    e.kernelThread = (f.flags & kPfKthread) != 0;
    // Never sampled: only its stat is re-read, to notice a reused id.
    if (e.kernelThread) e.dir.Reset();
    e.childTicks = f.cutime + f.cstime;
    return &e;
}

bool CProcfsProcessSource::EnumerateProcesses(std::vector<std::uint32_t>& pids) {
    pids.clear();
    if (!OpenRoot()) return false;
    if (!m_dir) {
        int fd = ::dup(m_root.Get());
        DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr;
        if (!d) {
            m_lastError = errno;
            if (fd >= 0) ::close(fd);
            return false;
        }
        m_dir.reset(d);
    }
    ::rewinddir(m_dir.get());
    ++m_generation;
    // Start times are whole clock ticks on the boot-time clock: the instant
    // is taken on that clock and cut to a tick, so that a process created in
    // the same tick but after this moment still counts as newer.
    timespec boot{};
    if (m_liveClock && ::clock_gettime(CLOCK_BOOTTIME, &boot) == 0) {
        const auto hz = static_cast<std::uint64_t>(m_ticksPerSecond);
        const std::uint64_t ticks = static_cast<std::uint64_t>(boot.tv_sec) * hz +
                                    static_cast<std::uint64_t>(boot.tv_nsec) * hz / 1000000000u;
        m_enumerationTime = m_bootTime + TicksToUnits(ticks, m_ticksPerSecond);
    }
    errno = 0;
    while (dirent* d = ::readdir(m_dir.get())) {
        std::uint32_t pid = 0;
        if (!IsPidName(d->d_name, pid)) continue;
        auto it = m_entries.find(pid);
        Entry* e = nullptr;
        if (it != m_entries.end() && !it->second.gone) {
            e = &it->second;
            if (e->kernelThread) {
                // Kernel threads are never sampled; one read tells whether
                // the id still belongs to the same one.
                std::string text;
                int err = 0;
                if (!ReadStat(pid, *e, text, err)) e = nullptr;
            }
        }
        if (!e) {
            e = OpenEntry(pid);
            if (!e) {
                // Gone between listing and opening: not a process any more.
                // Anything else (hidden, refused) is still a process that
                // cannot be inspected.
                if (m_lastError == ENOENT || m_lastError == ESRCH) continue;
                pids.push_back(pid);
                continue;
            }
        }
        e->generation = m_generation;
        if (!e->kernelThread) pids.push_back(pid);
    }
    // Processes no longer listed give their descriptors back.
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.generation != m_generation) {
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    return true;
}

std::uint32_t CProcfsProcessSource::CurrentProcessId() { return static_cast<std::uint32_t>(::getpid()); }

bool CProcfsProcessSource::GetModulePath(std::uint32_t pid, std::string& path) {
    if (!OpenRoot()) return false;
    auto it = m_entries.find(pid);
    int base = m_root.Get();
    std::string name = std::to_string(pid) + "/exe";
    if (it != m_entries.end() && it->second.dir) {
        base = it->second.dir.Get();
        name = "exe";
    }
    std::string buf(256, '\0');
    for (;;) {
        ssize_t n = ::readlinkat(base, name.c_str(), buf.data(), buf.size());
        if (n < 0) {
            m_lastError = errno;
            return false;
        }
        if (static_cast<size_t>(n) < buf.size()) {
            buf.resize(static_cast<size_t>(n));
            break;
        }
        if (buf.size() >= 65536) {
            m_lastError = ENAMETOOLONG;
            return false;
        }
        buf.resize(buf.size() * 2);
    }
    path = buf;
    return true;
}

std::unique_ptr<IProcessQuery> CProcfsProcessSource::OpenQuery(std::uint32_t pid) {
    if (!OpenRoot()) return nullptr;
    auto it = m_entries.find(pid);
    Entry* e = nullptr;
    if (it != m_entries.end() && !it->second.gone) {
        e = &it->second;
    } else {
        e = OpenEntry(pid);
        if (e) e->generation = m_generation;
    }
    if (!e) return nullptr;
    return std::make_unique<Query>(*this, pid, e->serial);
}
