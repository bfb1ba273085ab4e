// The helper program itself, started without privileges on this user's own
// child processes, and the window's side that speaks to it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperProcessSource.h"
#include "platform/linux/HelperProtocol.h"
#include "platform/linux/Pidfd.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {
class Child {
public:
    Child() {
        m_pid = ::fork();
        if (m_pid == 0)
            for (;;) ::pause();
    }
    ~Child() { Reap(); }
    pid_t Pid() const { return m_pid; }
    std::string Id() const { return std::to_string(m_pid); }
    int Reap(bool kill = true) {
        int status = 0;
        if (m_pid <= 0) return -1;
        if (kill) ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

private:
    pid_t m_pid = -1;
};

CHelperConnection::Options Direct(std::vector<std::string> command, int timeoutMs = 5000) {
    return {std::move(command), timeoutMs};
}

TEST(HelperRoundTrip, ReadsAndKillsOnlyTheProcessNamed) {
    CHelperConnection helper(Direct({LW_HELPER}));
    ASSERT_EQ(helper.Start(), IPrivilegedHelper::StartResult::kStarted);
    Child child;
    auto reply = helper.Ask("io " + child.Id() + "\n");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->substr(0, 3), "ok ");
    reply = helper.Ask("exe " + child.Id() + "\n");
    std::string path;
    ASSERT_TRUE(reply && DecodeHelperPath(reply->substr(3), path)) << *reply;
    EXPECT_EQ(path, std::filesystem::read_symlink("/proc/self/exe").string());

    UniqueFd pidfd = PidfdOpen(child.Pid());
    std::uint64_t start = 0;
    ASSERT_TRUE(PidfdStartTime(pidfd.Get(), child.Pid(), "/proc", start));
    EXPECT_EQ(helper.Ask("kill " + child.Id() + " " + std::to_string(start + 1) + "\n"), "err 3");
    EXPECT_EQ(helper.Ask("kill 1 0\n"), "err 1");
    EXPECT_EQ(helper.Ask("kill " + child.Id() + "\n"), "err 22");
    EXPECT_EQ(helper.Ask("kill " + child.Id() + " " + std::to_string(start) + "\n"), "ok");
    int status = child.Reap(false);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(helper.Ask("io " + std::to_string(::getpid()) + "0000000\n"), "err 22");
    EXPECT_TRUE(helper.IsRunning());
}

// While the helper runs, no other process of the user may trace the window
// or take its connection to the helper; before and after, nothing changes.
TEST(HelperRoundTrip, TheProcessIsNotDumpableWhileTheHelperRuns) {
    ASSERT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 1);
    {
        CHelperConnection refused(Direct({"/bin/sh", "-c", "exit 126"}));
        EXPECT_EQ(refused.Start(), IPrivilegedHelper::StartResult::kRefused);
        EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 1);
    }
    CHelperConnection helper(Direct({LW_HELPER}));
    ASSERT_EQ(helper.Start(), IPrivilegedHelper::StartResult::kStarted);
    EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    EXPECT_TRUE(helper.Ask("io " + std::to_string(::getpid()) + "\n"));
    EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    helper.Stop();
    EXPECT_EQ(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 1);
}

TEST(HelperRoundTrip, StartOutcomes) {
    struct Case {
        std::vector<std::string> command;
        IPrivilegedHelper::StartResult result;
    } cases[] = {
        {{"/bin/sh", "-c", "exit 127"}, IPrivilegedHelper::StartResult::kRefused},
        {{"/bin/sh", "-c", "exit 126"}, IPrivilegedHelper::StartResult::kRefused},
        {{"/bin/sh", "-c", "echo nonsense"}, IPrivilegedHelper::StartResult::kFailed},
        {{"/nonexistent/helper"}, IPrivilegedHelper::StartResult::kFailed},
        {{LW_HELPER, "--unexpected"}, IPrivilegedHelper::StartResult::kFailed},
    };
    for (const Case& c : cases) {
        CHelperConnection helper(Direct(c.command));
        EXPECT_EQ(helper.Start(), c.result) << c.command.back();
        EXPECT_FALSE(helper.IsRunning());
        EXPECT_FALSE(helper.Ask("io 1\n"));
    }
}

TEST(HelperRoundTrip, AHelperThatStopsAnsweringIsDropped) {
    CHelperConnection helper(Direct({"/bin/sh", "-c", "echo ready; cat >/dev/null"}, 100));
    ASSERT_EQ(helper.Start(), IPrivilegedHelper::StartResult::kStarted);
    EXPECT_FALSE(helper.Ask("io 1\n"));
    EXPECT_FALSE(helper.IsRunning());
}

// The window shows its link again when the helper is gone, asked or not;
// a new start then replaces it.
TEST(HelperRoundTrip, AHelperThatEndedIsNoticedUnasked) {
    CHelperConnection helper(Direct({"/bin/sh", "-c", "echo ready; exec sleep 0.2"}));
    ASSERT_EQ(helper.Start(), IPrivilegedHelper::StartResult::kStarted);
    EXPECT_TRUE(helper.IsRunning());
    for (int i = 0; i < 100 && helper.IsRunning(); ++i) ::usleep(50'000);
    EXPECT_FALSE(helper.IsRunning());
    EXPECT_EQ(helper.Start(), IPrivilegedHelper::StartResult::kStarted);
    EXPECT_TRUE(helper.IsRunning());
}

TEST(HelperProcessSource, AsksTheHelperOnlyForWhatWasRefused) {
    Child child;
    const auto pid = static_cast<std::uint32_t>(child.Pid());
    CFakeProcessSource inner;
    auto& p = inner.Add(pid);
    p.modulePath.reset();  // both refused (EACCES)
    p.io.reset();
    CHelperConnection helper(Direct({LW_HELPER}));
    CHelperProcessSource source(inner, helper);

    IoCounters io;
    std::string path;
    auto query = source.OpenQuery(pid);
    ASSERT_TRUE(query);
    EXPECT_FALSE(query->GetIoCounters(io));  // helper not started: the refusal stands
    EXPECT_EQ(query->LastError(), EACCES);
    EXPECT_FALSE(source.GetModulePath(pid, path));

    ASSERT_EQ(helper.Start(), IPrivilegedHelper::StartResult::kStarted);
    EXPECT_TRUE(query->GetIoCounters(io)) << query->LastError();
    EXPECT_TRUE(source.GetModulePath(pid, path));
    EXPECT_EQ(path, std::filesystem::read_symlink("/proc/self/exe").string());

    // The inner handle's process has ended: no answer is taken for it.
    inner.Add(pid);  // a new instance under the same id
    EXPECT_FALSE(query->GetIoCounters(io));
    EXPECT_EQ(query->LastError(), ESRCH);
}
}  // namespace
