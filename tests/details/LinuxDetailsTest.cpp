// Program details on this machine: real processes started by the test, the
// real package database, capabilities in child processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/capability.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "cli/DetailsCommand.h"
#include "details/Details.h"
#include "monitor/Processes.h"
#include "platform/linux/DpkgDatabase.h"
#include "platform/linux/OpensslDigests.h"
#include "platform/linux/PosixFileContent.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/Privilege.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/SystemClock.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeProcessSource.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A temporary folder, removed with everything in it.
struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "loadwatch-details-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A shell the test starts: it waits on a pipe and ends when the pipe closes.
class Child {
public:
    explicit Child(const std::string& program) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        m_input = fds[1];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("-c"),
                        const_cast<char*>("read x"), nullptr};
        if (::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0) m_pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[0]);
        // Wait until the program has replaced the spawned copy of the test.
        for (int i = 0; m_pid && i < 500; ++i) {
            std::error_code ec;
            if (fs::read_symlink("/proc/" + std::to_string(m_pid) + "/exe", ec) == fs::path(program)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~Child() {
        if (m_input >= 0) ::close(m_input);
        if (m_pid > 0) ::waitpid(m_pid, nullptr, 0);
    }
    std::uint32_t Pid() const { return static_cast<std::uint32_t>(m_pid); }

private:
    pid_t m_pid = 0;
    int m_input = -1;
};

struct RealDetails {
    CSystemClock clock;
    CProcfsProcessSource source;
    CPosixFileSystem files;
    CPosixFileContent content;
    COpensslDigests digests;
    CDpkgDatabase packages;
    CProcesses table{{clock, source, files}};
    DetailsContext context{files, content, packages, 0x0409};
    explicit RealDetails(DpkgDatabasePaths paths = {}) : packages(content, digests, std::move(paths)) {}

    int Run(std::uint32_t pid, std::string& out, std::string& err) {
        std::FILE* o = std::tmpfile();
        std::FILE* e = std::tmpfile();
        int rc = RunDetails(pid, table, context, o, e);
        out = Slurp(o);
        err = Slurp(e);
        return rc;
    }
    static std::string Slurp(std::FILE* f) {
        std::string text;
        std::rewind(f);
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
        return text;
    }
};

std::string Field(const std::string& out, const std::string& key) {
    size_t at = out.find("\n" + key + ": ");
    if (at == std::string::npos) return "<missing>";
    at += key.size() + 3;
    return out.substr(at, out.find('\n', at) - at);
}

TEST(DetailsCommand, PackagedShellIsDescribedAndSignedItsCopyIsNot) {
    if (!fs::exists("/var/lib/dpkg/info/bash.list") || !fs::exists("/usr/bin/bash"))
        GTEST_SKIP() << "no Debian bash here";
    RealDetails real;
    std::string out, err;
    {
        Child shell("/usr/bin/bash");
        ASSERT_EQ(real.Run(shell.Pid(), out, err), 0) << err;
    }
    EXPECT_EQ(Field(out, "path"), "/usr/bin/bash");
    EXPECT_EQ(Field(out, "ProductName"), "bash");
    EXPECT_NE(Field(out, "FileVersion"), "");
    EXPECT_NE(Field(out, "FileDescription"), "");
    EXPECT_EQ(Field(out, "signed"), "1");
    EXPECT_EQ(Field(out, "in windows folder"), "1");
    EXPECT_NE(Field(out, "process started"), "0 (unknown)");

    TempDir dir;
    fs::path copy = dir.path / "bash";
    fs::copy_file("/usr/bin/bash", copy);
    {
        Child shell(copy.string());
        ASSERT_EQ(real.Run(shell.Pid(), out, err), 0) << err;
    }
    EXPECT_EQ(Field(out, "path"), copy.string());
    for (const char* key : {"ProductName", "FileVersion", "FileDescription", "CompanyName", "LegalCopyright",
                            "Comments", "InternalName"})
        EXPECT_EQ(Field(out, key), "") << key;
    EXPECT_EQ(Field(out, "signed"), "0");
    EXPECT_EQ(Field(out, "in windows folder"), "0");
}

TEST(DetailsCommand, UnknownProcessIsAnErrorWithExitCode2) {
    RealDetails real;
    std::string out, err;
    EXPECT_EQ(real.Run(0x7FFFFFF0u, out, err), 2);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("no process with id 2147483632"), std::string::npos) << err;
}

// A package database the test builds over its own files: the recorded
// checksum holds until the file is changed.
TEST(LinuxDetails, ChangedFileOfATestPackageIsNotSigned) {
    TempDir dir;
    const std::string tool = (dir.path / "usr/bin/tool").string();
    WriteFile(tool, "abc");
    WriteFile(dir.path / "dpkg/status", "Package: tool\nStatus: install ok installed\nVersion: 9\n\n");
    WriteFile(dir.path / "dpkg/info/tool.list", tool + "\n");
    WriteFile(dir.path / "dpkg/info/tool.md5sums",
              "900150983cd24fb0d6963f7d28e17f72  " + tool.substr(1) + "\n");
    RealDetails real({(dir.path / "dpkg").string(), (dir.path / "doc").string()});
    CFakeClock clock;
    CFakeProcessSource source;
    CProcesses table({clock, source, real.files});
    for (std::uint32_t pid : {1u, 2u}) {
        if (pid == 2) WriteFile(tool, "abd");
        CProcess* r = table.FindOrAdd(pid);
        r->SetPath(tool, real.files);
        LoadDetails(*r, real.context);
        r = table.FindByPid(pid);
        EXPECT_EQ(r->m_versionStrings.m_strProductName, "tool");
        EXPECT_EQ(r->m_versionStrings.m_strFileVersion, "9");
        EXPECT_EQ(r->m_bSigned, pid == 1);
    }
}

TEST(LinuxDetails, FifoAndFolderAreNotOpenedAsFiles) {
    TempDir dir;
    const fs::path fifo = dir.path / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CPosixFileContent content;
    EXPECT_EQ(content.OpenFile(fifo.string()), nullptr);  // and it returned: no writer was waited for
    EXPECT_EQ(content.OpenFile(dir.path.string()), nullptr);
    EXPECT_EQ(content.OpenFile(""), nullptr);
}

// Runs body in a child process, so that capability changes stay there.
// The child's exit code is body's result.
int InChild(const std::function<int()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

bool Has(cap_value_t cap, cap_flag_t flag) {
    cap_t caps = cap_get_proc();
    cap_flag_value_t v = CAP_CLEAR;
    cap_get_flag(caps, cap, flag, &v);
    cap_free(caps);
    return v == CAP_SET;
}

bool Change(std::initializer_list<cap_value_t> values, std::initializer_list<cap_flag_t> flags) {
    cap_t caps = cap_get_proc();
    std::vector<cap_value_t> list(values);
    bool ok = true;
    for (cap_flag_t f : flags)
        ok = ok && cap_set_flag(caps, f, static_cast<int>(list.size()), list.data(), CAP_CLEAR) == 0;
    ok = ok && cap_set_proc(caps) == 0;
    cap_free(caps);
    return ok;
}

std::string CapText() {
    cap_t caps = cap_get_proc();
    char* text = cap_to_text(caps, nullptr);
    std::string s = text ? text : "";
    cap_free(text);
    cap_free(caps);
    return s;
}

TEST(EnablePrivilege, RaisesAndLowersPermittedCapabilities) {
    if (!Has(CAP_SYS_PTRACE, CAP_PERMITTED) || !Has(CAP_DAC_READ_SEARCH, CAP_PERMITTED))
        GTEST_SKIP() << "this test needs CAP_SYS_PTRACE and CAP_DAC_READ_SEARCH (run as root)";
    EXPECT_TRUE(EnablePrivilege("SeDebugPrivilege", true));  // root: already effective
    int rc = InChild([] {
        if (!Change({CAP_SYS_PTRACE, CAP_DAC_READ_SEARCH}, {CAP_EFFECTIVE})) return 10;
        if (Has(CAP_SYS_PTRACE, CAP_EFFECTIVE)) return 11;
        if (!EnablePrivilege("SeDebugPrivilege", true)) return 12;
        if (!Has(CAP_SYS_PTRACE, CAP_EFFECTIVE) || !Has(CAP_DAC_READ_SEARCH, CAP_EFFECTIVE)) return 13;
        if (!EnablePrivilege("SeDebugPrivilege", false)) return 14;
        if (Has(CAP_SYS_PTRACE, CAP_EFFECTIVE) || Has(CAP_DAC_READ_SEARCH, CAP_EFFECTIVE)) return 15;
        return 0;
    });
    EXPECT_EQ(rc, 0);
}

TEST(EnablePrivilege, FailsAndChangesNothingWithoutThePermittedCapability) {
    if (!Has(CAP_SYS_PTRACE, CAP_PERMITTED)) GTEST_SKIP() << "needs CAP_SYS_PTRACE to drop it";
    int rc = InChild([] {
        // Keep DAC_READ_SEARCH, but clear it from the effective set: a
        // half-done raise would show there.
        if (!Change({CAP_SYS_PTRACE}, {CAP_EFFECTIVE, CAP_PERMITTED})) return 10;
        if (!Change({CAP_DAC_READ_SEARCH}, {CAP_EFFECTIVE})) return 11;
        const std::string before = CapText();
        if (EnablePrivilege("SeDebugPrivilege", true)) return 12;
        if (CapText() != before) return 13;
        return 0;
    });
    EXPECT_EQ(rc, 0);
}

}  // namespace
