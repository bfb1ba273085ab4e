// Which program the sampler names, on the machine's real /proc with
// processes the test starts: exec, a reused id, replaced and memory-backed
// program files, and processes shorter than one refresh.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <linux/sched.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "monitor/Processes.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/TaskstatsExitSource.h"
#include "platform/linux/UniqueFd.h"
#include "tests/linux/ChildProcess.h"

extern char** environ;

namespace {
using namespace std::chrono_literals;

// A copy of a test program under a name of its own (at most 15 characters,
// the kernel's limit), so that programs of tests running beside this one are
// not mistaken for it.
std::string OwnCopy(const std::string& program, const std::string& prefix) {
    const std::string name = prefix + std::to_string(getpid() % 100000);
    const std::string copy = std::string(LW_TEST_TMP) + "/" + name;
    std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

std::string KernelName(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// Waits for a condition that a real process brings about; false after the
// limit, which is generous for a loaded machine.
bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit = 30s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// A child started by clone3 under a chosen id (needs CAP_SYS_ADMIN), which
// at once runs argv. -1 when refused.
pid_t SpawnWithId(pid_t id, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    clone_args ca{};
    ca.exit_signal = SIGCHLD;
    ca.set_tid = reinterpret_cast<std::uintptr_t>(&id);
    ca.set_tid_size = 1;
    long pid = ::syscall(SYS_clone3, &ca, sizeof ca);
    if (pid == 0) {
        ::execve(argv[0], argv.data(), environ);
        ::_exit(127);
    }
    return static_cast<pid_t>(pid);
}

struct RealProgram : ::testing::Test {
    CSystemClock clock;
    CProcfsProcessSource source;
    CPosixFileSystem files;
    CProcesses table{{clock, source, files}};

    const CProcess* Find(std::uint32_t pid) { return table.FindByPid(pid); }
    const CProcess* Named(const std::string& text) {
        for (int i = 0; i < table.GetSize(); ++i)
            if (table[i].ProgramText().rfind(text, 0) == 0) return &table[i];
        return nullptr;
    }
};

TEST_F(RealProgram, AnExecedProgramIsListedUnderItsOwnNameWithinOneTick) {
    const std::string spin = OwnCopy(LW_SPIN, "lwexec");
    const std::string name = std::filesystem::path(spin).filename();
    const std::string script = "read line; exec " + spin + " 30";
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
    UniqueFd readEnd(pipeFds[0]), writeEnd(pipeFds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, readEnd.Get(), 0);
    const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    table.TakeSnapshot();
    ASSERT_NE(Find(pid), nullptr);
    EXPECT_EQ(Find(pid)->m_strFileName, std::filesystem::path(std::filesystem::canonical("/bin/sh")).filename());
    ASSERT_EQ(::write(writeEnd.Get(), "go\n", 3), 3);
    ASSERT_TRUE(WaitFor([&] { return KernelName(pid) == name; }));
    table.TakeSnapshot();
    ASSERT_NE(Find(pid), nullptr);
    EXPECT_EQ(Find(pid)->m_strFileName, name);
    EXPECT_EQ(Find(pid)->m_strPath, spin);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    std::filesystem::remove(spin);
}

TEST_F(RealProgram, AReusedIdIsANewRecord) {
    const std::string first = OwnCopy(LW_SPIN, "lwfirst");
    const std::string second = OwnCopy(LW_SPIN, "lwsecond");
    Child old({first, "30"});
    ASSERT_GT(old.Pid(), 0);
    const pid_t id = old.Pid();
    ASSERT_TRUE(WaitFor([&] { return KernelName(id) == std::filesystem::path(first).filename().string(); }));
    table.TakeSnapshot();
    ASSERT_NE(Find(id), nullptr);
    const std::uint64_t oldStart = Find(id)->m_ftCreation;
    // Start times count in clock ticks: a process that took the id within
    // the old one's tick would look like it; no reuse comes that fast.
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * 1000 / ::sysconf(_SC_CLK_TCK)));
    old.Kill();
    const pid_t reused = SpawnWithId(id, {second, "30"});
    if (reused < 0) GTEST_SKIP() << "choosing a process id needs CAP_SYS_ADMIN: " << std::strerror(errno);
    ASSERT_EQ(reused, id);
    ASSERT_TRUE(WaitFor([&] { return KernelName(id) == std::filesystem::path(second).filename().string(); }));
    // A read the source still holds for the old process fails first; the
    // next one meets the new process.
    const auto secondListed = [&] {
        const CProcess* record = Find(id);
        return record && record->m_strFileName == std::filesystem::path(second).filename();
    };
    for (int i = 0; i < 3 && !secondListed(); ++i) table.TakeSnapshot();
    ASSERT_TRUE(secondListed());
    EXPECT_NE(Find(id)->m_ftCreation, oldStart);
    // The old record has ended: gone, having shown nothing, or listed as closed.
    const CProcess* ended = Named(std::filesystem::path(first).filename());
    EXPECT_TRUE(ended == nullptr || ended->m_dwPid == 0u);
    ::kill(reused, SIGKILL);
    ::waitpid(reused, nullptr, 0);
    std::filesystem::remove(first);
    std::filesystem::remove(second);
}

TEST_F(RealProgram, AReplacedFileKeepsItsNameAndAMemoryFileShowsTheKernelsName) {
    const std::string spin = OwnCopy(LW_SPIN, "lwrepl");
    Child replaced({spin, "30"});
    ASSERT_GT(replaced.Pid(), 0);
    ASSERT_TRUE(WaitFor([&] { return KernelName(replaced.Pid()) == std::filesystem::path(spin).filename(); }));
    // What a package upgrade does: a new file renamed over the old one.
    const std::string next = spin + ".new";
    std::ofstream(next) << "#!/bin/sh\n";
    std::filesystem::rename(next, spin);

    UniqueFd memory(::memfd_create("lwmem", MFD_CLOEXEC));
    ASSERT_TRUE(memory.Valid());
    {
        std::ifstream in(LW_SPIN, std::ios::binary);
        std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(::write(memory.Get(), image.data(), image.size()), static_cast<ssize_t>(image.size()));
    }
    char arg0[] = "lwmem", arg1[] = "30";
    char* argv[] = {arg0, arg1, nullptr};
    pid_t fromMemory = ::fork();
    if (fromMemory == 0) {
        ::fexecve(memory.Get(), argv, environ);
        ::_exit(127);
    }
    ASSERT_GT(fromMemory, 0);
    ASSERT_TRUE(WaitFor([&] { return KernelName(fromMemory) != KernelName(getpid()); }));

    table.TakeSnapshot();
    const CProcess* r = Find(replaced.Pid());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->m_strFileName, std::filesystem::path(spin).filename());
    EXPECT_EQ(r->m_strPath, spin);
    EXPECT_TRUE(r->m_bFileReplaced);
    const CProcess* m = Find(fromMemory);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->m_strFileName, KernelName(fromMemory));
    EXPECT_TRUE(m->m_strPath.empty());
    EXPECT_TRUE(m->m_bNoFile);
    ::kill(fromMemory, SIGKILL);
    ::waitpid(fromMemory, nullptr, 0);
    std::filesystem::remove(spin);
}

// 200 processes of 20 ms of processor each, two at a time, started by a shell
// of the test's own. A loaded machine stretches them but leaves their work.
struct ShortLived {
    std::string spin;
    Child shell;
    explicit ShortLived(const std::string& prefix)
        : spin(OwnCopy(LW_SPIN, prefix)),
          shell({"/usr/bin/env", "LW_SPIN_CPU=1", "/bin/sh", "-c",
                 "for i in $(seq 100); do " + spin + " 0.02 & " + spin + " 0.02; wait; done"}) {}
    ~ShortLived() { std::filesystem::remove(spin); }
    std::string Name() const { return std::filesystem::path(spin).filename(); }
};

TEST_F(RealProgram, ShortLivedProcessesCountForTheirProgramWithExitAccounting) {
    CTaskstatsExitSource exits;
    if (!exits.IsListening())
        GTEST_SKIP() << "exit accounting needs CAP_NET_ADMIN: " << std::strerror(exits.Error());
    CProcfsProcessSource own;
    CProcesses sampler{{clock, own, files, nullptr, nullptr, &exits}};
    ShortLived work("lwshort");
    ASSERT_GT(work.shell.Pid(), 0);
    sampler.TakeSnapshot();
    int most = 0;
    bool busy = false;
    while (!busy || most < 2) {
        std::this_thread::sleep_for(1s);
        sampler.TakeSnapshot();
        for (int i = 0; i < sampler.GetSize(); ++i) {
            const CProcess& r = sampler[i];
            if (r.m_strGroupKey.empty() || r.m_strFileName != work.Name()) continue;
            most = std::max(most, r.m_nEndedCount);
            busy = busy || r.m_tLastProcessor != 0;
        }
        if (::waitpid(work.shell.Pid(), nullptr, WNOHANG) != 0) break;
    }
    EXPECT_TRUE(busy);
    EXPECT_GE(most, 2) << "processes of one program count together";
    std::printf("most ended in one tick: %d, lost: %llu\n", most, static_cast<unsigned long long>(exits.Lost()));
}

TEST_F(RealProgram, ShortLivedProcessesCountForTheirParentWithoutExitAccounting) {
    ShortLived work("lwkids");
    ASSERT_GT(work.shell.Pid(), 0);
    const std::string shell = std::filesystem::path(std::filesystem::canonical("/bin/sh")).filename();
    table.TakeSnapshot();
    bool busy = false;
    while (!busy) {
        std::this_thread::sleep_for(1s);
        table.TakeSnapshot();
        const CProcess* group = Named(shell + " (its short-lived programs)");
        busy = group && group->m_tLastProcessor != 0;
        if (::waitpid(work.shell.Pid(), nullptr, WNOHANG) != 0) break;
    }
    EXPECT_TRUE(busy);
}
}  // namespace
