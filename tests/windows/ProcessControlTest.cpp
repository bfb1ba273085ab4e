#include <gtest/gtest.h>

#include "platform/windows/Win32ProcessControl.h"
#include "platform/windows/Win32ProgramStarter.h"
#include "tests/windows/ChildProcess.h"

namespace {

// A handle stays on the process it was opened on: a kill reaches it once,
// and after its end every signal reports it gone.
TEST(Win32ProcessControl, KillsItsOwnProcessOnceThenReportsItGone) {
    ChildProcess child(LW_SPIN, "30");
    ASSERT_NE(child.Pid(), 0u);
    CWin32ProcessControl control;
    auto handle = control.OpenProcess(child.Pid());
    ASSERT_TRUE(handle);
    EXPECT_EQ(handle->Pid(), child.Pid());
    // No window: a quit request has nobody to go to.
    EXPECT_EQ(handle->Send(ProcessSignal::kQuit), SignalResult::kFailed);
    EXPECT_EQ(handle->Send(ProcessSignal::kKill), SignalResult::kSent);
    UniqueHandle watch(::OpenProcess(SYNCHRONIZE, FALSE, child.Pid()));
    if (watch) ::WaitForSingleObject(watch.Get(), 10000);
    for (ProcessSignal signal : {ProcessSignal::kKill, ProcessSignal::kQuit})
        EXPECT_EQ(handle->Send(signal), SignalResult::kGone);
}

TEST(Win32ProcessControl, NoHandleOnAnIdNobodyHas) {
    CWin32ProcessControl control;
    EXPECT_FALSE(control.OpenProcess(0xFFFFFFF0u));
}

TEST(Win32ProgramStarter, RefusesWhatCannotStart) {
    CWin32ProgramStarter starter;
    for (const char* path : {"C:\\no\\such\\uninstall.exe", ""})
        EXPECT_FALSE(starter.StartDetached(path)) << path;
}

}  // namespace
