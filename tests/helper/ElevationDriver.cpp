// The elevation link for real, driven by pkexec_e2e.sh:
//   lw-test-elevation HELPER WRITER DIR      as root, with polkitd running
//   lw-test-elevation HELPER --refused       as a user without an agent
// As root it first gives up the capabilities that let it read and signal
// other users' processes, as an ordinary window lacks them; pkexec (set-uid
// root) still starts the helper with them. It then starts a writer under
// another uid, checks that the writer's disk activity is refused to it,
// follows the link, expects "Hard disk" for the writer, and terminates the
// writer through the helper after the confirmation.
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "actions/ProgramActions.h"
#include "monitor/MemoryReportList.h"
#include "monitor/Processes.h"
#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperProcessControl.h"
#include "platform/linux/HelperProcessSource.h"
#include "platform/linux/HelperSocketLister.h"
#include "platform/linux/PosixFileSystem.h"
#include "platform/linux/PosixProgramStarter.h"
#include "platform/linux/ProcfsProcessSource.h"
#include "platform/linux/SystemClock.h"
#include "tests/fakes/FakeActionHost.h"
#include "tests/fakes/FakeDesktop.h"
#include "tests/fakes/FakePrivilegedHelper.h"
#include "tests/fakes/FakeProcessControl.h"
#include "tests/fakes/FakeProgramStarter.h"

namespace {
int passed = 0, failed = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    ++(ok ? passed : failed);
}

int Finish() {
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}

bool DropCapabilities() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    for (int cap : {CAP_SYS_PTRACE, CAP_DAC_READ_SEARCH, CAP_KILL}) {
        data[cap / 32].effective &= ~(1u << (cap % 32));
        data[cap / 32].permitted &= ~(1u << (cap % 32));
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

// Returns once the writer runs its own program under uid.
pid_t StartWriterAs(uid_t uid, const char* writer, const std::string& file) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return -1;
    pid_t pid = ::fork();
    if (pid != 0) {
        ::close(pipe[1]);
        char c;
        while (::read(pipe[0], &c, 1) < 0 && errno == EINTR) {
        }
        ::close(pipe[0]);
        return pid;
    }
    if (::setgroups(0, nullptr) != 0 || ::setresgid(uid, uid, uid) != 0 || ::setresuid(uid, uid, uid) != 0)
        ::_exit(126);
    ::execl(writer, writer, file.c_str(), "32", "1.5", static_cast<char*>(nullptr));
    ::_exit(127);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[2], "--refused") == 0) {
        CHelperConnection helper(CHelperConnection::PkexecOptions(argv[1]));
        Check(helper.Start() == IPrivilegedHelper::StartResult::kRefused,
              "pkexec without an agent is a refusal");
        Check(!helper.IsRunning(), "the helper does not run; the link stays");
        return Finish();
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: lw-test-elevation HELPER WRITER DIR | HELPER --refused\n");
        return 2;
    }
    Check(DropCapabilities(), "gave up the capabilities of a privileged window");
    const uid_t other = 65534;
    pid_t writer = StartWriterAs(other, argv[2], std::string(argv[3]) + "/written");
    Check(writer > 0, "writer started as uid 65534");

    CSystemClock clock;
    CProcfsProcessSource procfs;
    CPosixFileSystem files;
    {
        auto query = procfs.OpenQuery(static_cast<std::uint32_t>(writer));
        IoCounters io;
        Check(query && !query->GetIoCounters(io) && query->LastError() == EACCES,
              "the writer's disk counters are refused without the helper");
    }

    CHelperConnection helper(CHelperConnection::PkexecOptions(argv[1]));
    CHelperProcessSource source(procfs, helper);
    CHelperProcessControl control(helper);
    CProcesses table({clock, source, files});
    CallLog log;
    CFakeActionHost host(log);
    CFakeDesktop desktop(log);
    CPosixProgramStarter starter;
    CProgramActions actions(table, host, {control, desktop, starter, helper});

    table.TakeSnapshot();
    Check(actions.RestartAsAdministrator(), "the link started the helper through pkexec (link hidden)");
    Check(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) == 0, "the window is not dumpable while the helper runs");

    bool shown = false;
    for (int tick = 0; tick < 15 && !shown; ++tick) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        table.TakeSnapshot();
        CMemoryReportList list;
        table.FillList(list);
        for (int row = 0; row < list.GetItemCount(); ++row)
            if (list.GetItemData(row) == static_cast<std::uint32_t>(writer) &&
                list.GetItemText(row, 1).find("Hard disk") != std::string::npos) {
                shown = true;
                std::printf("   row: %s | %s\n", list.GetItemText(row, 0).c_str(),
                            list.GetItemText(row, 1).c_str());
            }
    }
    Check(shown, "the other user's writer shows \"Hard disk\"");

    {
        // Its sockets too, for the network source.
        std::vector<std::uint64_t> inodes;
        CHelperSocketLister lister(helper);
        Check(lister.Available() && lister.ListSockets(static_cast<std::uint32_t>(writer), inodes),
              "the helper lists the writer's sockets");
    }

    actions.OnTerminateProcess(table.FindByPid(static_cast<std::uint32_t>(writer)));
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 500 && !ended; ++i) {
        ended = ::waitpid(writer, &status, WNOHANG) == writer;
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Check(log.size() == 1 && log[0].rfind("ask:Terminate program", 0) == 0, "asked before terminating");
    Check(ended && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL && host.flashes == 0,
          "the writer was killed through the helper");
    if (!ended) {
        ::kill(writer, SIGKILL);  // the capability is gone; best effort
        ::waitpid(writer, nullptr, 0);
    }
    return Finish();
}
