#include <gtest/gtest.h>

#include "actions/ProgramActions.h"
#include "monitor/Processes.h"
#include "tests/fakes/FakeActionHost.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeDesktop.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakePrivilegedHelper.h"
#include "tests/fakes/FakeProcessControl.h"
#include "tests/fakes/FakeProcessSource.h"
#include "tests/fakes/FakeProgramStarter.h"

namespace {
constexpr std::uint32_t kPid = 4242;

struct Actions : ::testing::Test {
    CallLog log;
    CFakeClock clock;
    CFakeProcessSource source;
    CFakeFileSystem files;
    CProcesses table{{clock, source, files}};
    CFakeActionHost host{log};
    CFakeProcessControl processes{log};
    CFakeDesktop desktop{log};
    CFakeProgramStarter starter{log};
    CFakePrivilegedHelper helper;
    CProgramActions actions{table, host, {processes, desktop, starter, helper}};

    CProcess* Add(std::uint32_t pid = kPid) {
        CProcess* r = table.FindOrAdd(pid);
        r->m_tLastSeen = clock.Now();
        r->m_strPath = "/opt/app/app.bin";
        r->m_strFolder = "/opt/app";
        r->m_strFileName = "app.bin";
        r->m_strUninstaller = "/opt/app/uninst.exe";
        r->m_hMainWnd = 77;
        r->m_ftCreation = 1000;
        processes.Start(pid);
        return r;
    }
    // What a refresh shows once the process ended and another took its id.
    void ReuseId() {
        processes.End(kPid);
        processes.Start(kPid);
        table.FindByPid(kPid)->m_ftCreation = 2000;
    }
};

enum class Button { kClose, kTerminate, kUninstall };
struct ConfirmCase {
    const char* name;
    Button button;
    bool shift;
    bool yes;
    std::vector<std::string> log;
};

void PrintTo(const ConfirmCase& c, std::ostream* os) { *os << c.name; }

class Confirmation : public Actions, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(Confirmation, AsksUnlessShiftAndActsOnlyOnYes) {
    const ConfirmCase& c = GetParam();
    CProcess* r = Add();
    host.shift = c.shift;
    host.answerYes = c.yes;
    switch (c.button) {
        case Button::kClose:
            actions.OnCloseProgram(r);
            break;
        case Button::kTerminate:
            actions.OnTerminateProcess(r);
            break;
        case Button::kUninstall:
            actions.OnUninstallProgram(r);
            break;
    }
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(host.flashes, 0);
    EXPECT_EQ(host.lastCaption,
              c.log.size() > 1 || !c.shift || c.button == Button::kUninstall ? "Loadwatch 1.13" : "");
}

const char kAskClose[] = "ask:Close program app.bin - Are you sure?";
const char kAskTerminate[] = "ask:Terminate program app.bin - Are you sure?\n\nUnsaved changes will be lost!";
const char kAskUninstall[] = "ask:Uninstall program app.bin - Are you sure?";
INSTANTIATE_TEST_SUITE_P(
    Buttons, Confirmation,
    ::testing::Values(
        ConfirmCase{"CloseYes", Button::kClose, false, true, {kAskClose, "quit:4242#1"}},
        ConfirmCase{"CloseNo", Button::kClose, false, false, {kAskClose}},
        ConfirmCase{"CloseShift", Button::kClose, true, false, {"quit:4242#1"}},
        ConfirmCase{"TerminateYes", Button::kTerminate, false, true, {kAskTerminate, "kill:4242#1"}},
        ConfirmCase{"TerminateNo", Button::kTerminate, false, false, {kAskTerminate}},
        ConfirmCase{"TerminateShift", Button::kTerminate, true, false, {"kill:4242#1"}},
        ConfirmCase{
            "UninstallYes", Button::kUninstall, false, true, {kAskUninstall, "start:/opt/app/uninst.exe"}},
        ConfirmCase{"UninstallShiftStillAsks", Button::kUninstall, true, false, {kAskUninstall}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Actions, NothingSelectedOrNothingToActOnDoesNothing) {
    actions.OnProgramProperties(nullptr);
    actions.OnOpenFolder(nullptr);
    actions.OnCloseProgram(nullptr);
    actions.OnTerminateProcess(nullptr);
    actions.OnUninstallProgram(nullptr);
    CProcess* r = Add();
    r->m_hMainWnd = 0;
    r->m_strUninstaller.clear();
    host.shift = true;
    actions.OnCloseProgram(r);      // no window found for it
    actions.OnUninstallProgram(r);  // no uninstaller beside it
    EXPECT_TRUE(log.empty());
}

TEST_F(Actions, PropertiesAndFolderGoToTheDesktop) {
    CProcess* r = Add();
    actions.OnProgramProperties(r);
    actions.OnOpenFolder(r);
    EXPECT_EQ(log, (CallLog{"properties:/opt/app/app.bin", "folder:/opt/app"}));
}

// Either guard alone keeps the new owner of the id safe: the table that saw
// the new start time, or the handle opened before the box. When the id was
// taken before the click, the handle is the newcomer's and only the table
// stands between it and the signal.
enum class Reuse { kTableNoticed, kTableDidNot, kBeforeClickTableNoticed };
struct ReuseCase {
    const char* name;
    Button button;
    Reuse reuse;
    std::vector<std::string> log;
};

void PrintTo(const ReuseCase& c, std::ostream* os) { *os << c.name; }

class IdTakenDuringTheBox : public Actions, public ::testing::WithParamInterface<ReuseCase> {};

TEST_P(IdTakenDuringTheBox, NoProcessIsSignalled) {
    const ReuseCase& c = GetParam();
    CProcess* r = Add();
    if (c.reuse == Reuse::kBeforeClickTableNoticed) {
        processes.End(kPid);
        processes.Start(kPid);
    }
    host.whileOpen = [&] {
        if (c.reuse == Reuse::kTableDidNot) {
            processes.End(kPid);
            processes.Start(kPid);
        } else if (c.reuse == Reuse::kTableNoticed) {
            ReuseId();
        } else {
            table.FindByPid(kPid)->m_ftCreation = 2000;
        }
    };
    if (c.button == Button::kClose)
        actions.OnCloseProgram(r);
    else
        actions.OnTerminateProcess(r);
    EXPECT_EQ(log, c.log);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, IdTakenDuringTheBox,
    ::testing::Values(
        ReuseCase{"CloseTableNoticed", Button::kClose, Reuse::kTableNoticed, {kAskClose}},
        ReuseCase{"CloseTableDidNot", Button::kClose, Reuse::kTableDidNot, {kAskClose}},
        ReuseCase{"CloseTakenBeforeTheClick", Button::kClose, Reuse::kBeforeClickTableNoticed, {kAskClose}},
        ReuseCase{"TerminateTableNoticed", Button::kTerminate, Reuse::kTableNoticed, {kAskTerminate, "flash"}},
        ReuseCase{"TerminateTableDidNot", Button::kTerminate, Reuse::kTableDidNot, {kAskTerminate, "flash"}},
        ReuseCase{"TerminateTakenBeforeTheClick",
                  Button::kTerminate,
                  Reuse::kBeforeClickTableNoticed,
                  {kAskTerminate, "flash"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Actions, TheRecordMayVanishDuringTheBox) {
    CProcess* r = Add();
    host.whileOpen = [&] {
        // The process ended; 30 s later its record is deleted.
        processes.End(kPid);
        table.MarkEnded(clock.Now() + 1);
        table.RemoveStale(clock.Now() + 100);
    };
    actions.OnUninstallProgram(r);  // acts on what the box named
    ASSERT_EQ(table.GetSize(), 0);
    r = Add();
    actions.OnTerminateProcess(r);
    EXPECT_EQ(log, (CallLog{kAskUninstall, "start:/opt/app/uninst.exe", kAskTerminate, "flash"}));
}

TEST_F(Actions, TerminateFailuresFlashTheLinkOnly) {
    CProcess* r = Add();
    processes.procs[kPid].denied = true;
    host.shift = true;
    actions.OnTerminateProcess(r);
    processes.End(kPid);  // gone before the click
    actions.OnTerminateProcess(r);
    EXPECT_EQ(host.flashes, 2);
    EXPECT_EQ(log, (CallLog{"flash", "flash"}));
    // Close fails silently.
    actions.OnCloseProgram(r);
    EXPECT_EQ(host.flashes, 2);
}

TEST_F(Actions, WindowCloseAndElevationLink) {
    host.answerYes = false;
    EXPECT_FALSE(actions.OnClose());
    host.answerYes = true;
    host.shift = true;  // not consulted
    EXPECT_TRUE(actions.OnClose());
    EXPECT_EQ(log, (CallLog{"ask:Close program - Are you sure?", "ask:Close program - Are you sure?"}));

    for (auto [result, hide] : {std::pair{IPrivilegedHelper::StartResult::kRefused, false},
                                {IPrivilegedHelper::StartResult::kFailed, false},
                                {IPrivilegedHelper::StartResult::kStarted, true}}) {
        helper.result = result;
        EXPECT_EQ(actions.RestartAsAdministrator(), hide);
    }
}
}  // namespace
