// The actions against processes and programs this test starts itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "actions/ProgramActions.h"
#include "actions/UninstallerSearch.h"
#include "monitor/Processes.h"
#include "platform/linux/PidfdProcessControl.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/PosixProgramStarter.h"
#include "tests/fakes/FakeActionHost.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeDesktop.h"
#include "tests/fakes/FakePrivilegedHelper.h"
#include "tests/fakes/FakeProcessControl.h"
#include "tests/fakes/FakeProcessSource.h"
#include "tests/fakes/FakeProgramStarter.h"

namespace fs = std::filesystem;

namespace {
// A child that waits for signals; killed and reaped on destruction.
class Child {
public:
    Child() {
        m_pid = ::fork();
        if (m_pid == 0) {
            for (;;) ::pause();
        }
    }
    ~Child() { Reap(true); }
    pid_t Pid() const { return m_pid; }
    // The child's wait status once it ended within a few seconds; -1 if it
    // still runs.
    int Status() {
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    bool Running() { return ::waitpid(m_pid, nullptr, WNOHANG) == 0; }
    void Reap(bool kill) {
        if (m_pid <= 0) return;
        if (kill) ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

struct RealActions : ::testing::Test {
    CallLog log;
    CFakeClock clock;
    CFakeProcessSource source;
    CPosixFileSystem files;
    CProcesses table{{clock, source, files}};
    CFakeActionHost host{log};
    CPidfdProcessControl processes;
    CFakeDesktop desktop{log};
    CPosixProgramStarter starter;
    CFakePrivilegedHelper helper;
    CProgramActions actions{table, host, {processes, desktop, starter, helper}};

    CProcess* Record(pid_t pid) {
        CProcess* r = table.FindOrAdd(static_cast<std::uint32_t>(pid));
        r->m_strFileName = "child";
        r->m_hMainWnd = 1;
        return r;
    }
};

TEST_F(RealActions, CloseSendsSigtermTerminateSigkillNoLeavesItRunning) {
    struct Case {
        void (CProgramActions::*button)(const CProcess*);
        bool yes, shift;
        int signal;  // 0: still running
    };
    for (Case c : {Case{&CProgramActions::OnCloseProgram, true, false, SIGTERM},
                   Case{&CProgramActions::OnTerminateProcess, true, false, SIGKILL},
                   Case{&CProgramActions::OnTerminateProcess, false, true, SIGKILL},
                   Case{&CProgramActions::OnCloseProgram, false, false, 0},
                   Case{&CProgramActions::OnTerminateProcess, false, false, 0}}) {
        Child child;
        host.answerYes = c.yes;
        host.shift = c.shift;
        (actions.*c.button)(Record(child.Pid()));
        if (c.signal == 0) {
            EXPECT_TRUE(child.Running());
            continue;
        }
        int status = child.Status();
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), c.signal);
    }
    EXPECT_EQ(host.flashes, 0);
}

TEST_F(RealActions, AChildThatEndedDuringTheBoxIsNotSignalled) {
    Child child;
    auto handle = processes.OpenPidfd(static_cast<std::uint32_t>(child.Pid()));
    ASSERT_TRUE(handle);
    EXPECT_NE(handle->StartTime(), 0u);
    host.whileOpen = [&] { child.Reap(true); };  // ended and reaped: its id is free
    actions.OnTerminateProcess(Record(static_cast<pid_t>(handle->Pid())));
    EXPECT_EQ(host.flashes, 1);
    EXPECT_EQ(handle->Send(ProcessSignal::kKill), SignalResult::kGone);
}

struct Uninstall : RealActions {
    fs::path dir;
    void SetUp() override {
        char tmpl[] = "/tmp/lw-uninstall-XXXXXX";
        ASSERT_TRUE(::mkdtemp(tmpl));
        dir = tmpl;
        std::ofstream(dir / "uninst.exe") << "#!/bin/sh\necho started > \"$(dirname \"$0\")/marker\"\n";
        fs::permissions(dir / "uninst.exe", fs::perms::owner_all);
        std::ofstream(dir / "app.bin") << "";
    }
    void TearDown() override { fs::remove_all(dir); }
    bool MarkerAppears() {
        for (int i = 0; i < 500; ++i) {
            if (fs::exists(dir / "marker")) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

TEST_F(Uninstall, TheUninstallerBesideTheProgramRunsAfterYesOnly) {
    CProcess* r = table.FindOrAdd(99);
    r->SetPath((dir / "app.bin").string(), files, &FindUninstaller);
    ASSERT_EQ(r->m_strUninstaller, (dir / "uninst.exe").string());
    host.answerYes = false;
    actions.OnUninstallProgram(r);
    host.answerYes = true;
    host.shift = true;
    EXPECT_FALSE(fs::exists(dir / "marker"));
    actions.OnUninstallProgram(r);
    EXPECT_TRUE(MarkerAppears());
    EXPECT_EQ(log.size(), 2u);  // asked both times
}

TEST_F(Uninstall, StartDetachedReportsWhatCannotRun) {
    fs::permissions(dir / "app.bin", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directory(dir / "remove.exe");
    for (const char* name : {"app.bin", "remove.exe", "missing.exe"})
        EXPECT_FALSE(starter.StartDetached((dir / name).string())) << name;
    EXPECT_FALSE(starter.StartDetached(""));
    EXPECT_TRUE(starter.StartDetached((dir / "uninst.exe").string()));
    EXPECT_TRUE(MarkerAppears());
}
}  // namespace
