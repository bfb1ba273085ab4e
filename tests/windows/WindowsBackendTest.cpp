// The monitor and the details over the Windows backend, with a program the
// test starts. Wine lists only its own processes and reports no processor
// time nor I/O of another process, so what depends on those figures is
// asserted only where the system reports them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "actions/UninstallerSearch.h"
#include "details/Details.h"
#include "monitor/MemoryReportList.h"
#include "monitor/Processes.h"
#include "platform/FileTime.h"
#include "platform/windows/NoPackageMetadata.h"
#include "platform/windows/SystemClock.h"
#include "platform/windows/ToolhelpProcessSource.h"
#include "platform/windows/Win32FileContent.h"
#include "platform/windows/Win32FileSystem.h"
#include "platform/windows/Win32Libraries.h"
#include "platform/windows/WinTrustVerifier.h"
#include "res/CaseInsensitive.h"
#include "tests/windows/ChildProcess.h"

namespace {

class WindowsBackend : public ::testing::Test {
protected:
    void WaitForNextSecond() {
        const std::int64_t start = clock.Now();
        while (clock.Now() == start) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    CWin32Libraries libraries;
    CSystemClock clock;
    CToolhelpProcessSource source{libraries};
    CWin32FileSystem files;
    CProcesses table{{clock, source, files, &FindUninstaller}};
};

TEST_F(WindowsBackend, StartedProgramIsListedWithItsPathAndEndsWithItsProcess) {
    ChildProcess child(LW_SPIN, "30");
    ASSERT_NE(child.Pid(), 0u);
    std::vector<std::uint32_t> pids;
    ASSERT_TRUE(source.EnumerateProcesses(pids));
    EXPECT_NE(std::find(pids.begin(), pids.end(), child.Pid()), pids.end());
    for (std::uint32_t never : {0u, 4u}) EXPECT_EQ(std::find(pids.begin(), pids.end(), never), pids.end());

    std::string modulePath, fullName, nativeName;
    // The module list of a new process can be read once its loader has run
    // (until then the backend names the program through the query handle).
    bool read = false;
    for (int i = 0; i < 100 && !read; ++i) {
        read = source.GetModulePath(child.Pid(), modulePath);
        if (!read) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(read) << "error " << source.LastError();
    EXPECT_TRUE(EqualsNoCase(modulePath, child.Path())) << modulePath;
    std::unique_ptr<IProcessQuery> query = source.OpenQuery(child.Pid());
    ASSERT_NE(query, nullptr);
    ASSERT_TRUE(query->QueryFullImageName(fullName));
    EXPECT_TRUE(EqualsNoCase(fullName, child.Path())) << fullName;
    // The device path names the same file below a device: "\Device\...\lw-test-spin.exe".
    ASSERT_TRUE(query->GetImageFileName(nativeName));
    EXPECT_EQ(nativeName.rfind("\\Device\\", 0), 0u) << nativeName;
    const std::string tail = "\\lw-test-spin.exe";
    ASSERT_GT(nativeName.size(), tail.size());
    EXPECT_TRUE(EqualsNoCase(nativeName.substr(nativeName.size() - tail.size()), tail)) << nativeName;
    ProcessTimes times;
    ASSERT_TRUE(query->GetTimes(times));
    const std::int64_t started = FileTimeToTime(times.creation);
    EXPECT_LE(std::abs(started - clock.Now()), 60) << "creation time " << started;
    query.reset();

    table.TakeSnapshot();
    const CProcess* record = table.FindByPid(child.Pid());
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(EqualsNoCase(record->m_strFileName, "lw-test-spin.exe"));
    EXPECT_EQ(record->m_strError, "");
    EXPECT_EQ(table.FindByPid(source.CurrentProcessId()), nullptr);

    // A record ends when a later second's snapshot misses its process.
    child.End();
    WaitForNextSecond();
    table.TakeSnapshot();
    EXPECT_EQ(table.FindByPid(child.Pid()), nullptr);
    EXPECT_FALSE(source.GetModulePath(child.Pid(), modulePath));
}

TEST_F(WindowsBackend, BusyProgramIsListedWhereTheSystemReportsItsTime) {
    ChildProcess child(LW_SPIN, "30");
    ASSERT_NE(child.Pid(), 0u);
    table.TakeSnapshot();
    ProcessTimes before, after;
    ASSERT_TRUE(source.OpenQuery(child.Pid())->GetTimes(before));
    // Two clock seconds apart, so the second snapshot is a sample of its own.
    WaitForNextSecond();
    WaitForNextSecond();
    table.TakeSnapshot();
    ASSERT_TRUE(source.OpenQuery(child.Pid())->GetTimes(after));
    const std::uint64_t used = (after.user + after.kernel) - (before.user + before.kernel);
    CMemoryReportList list;
    table.FillList(list);
    bool listed = false;
    for (int row = 0; row < list.GetItemCount(); ++row)
        listed = listed || list.GetItemData(row) == child.Pid();
    if (used < CProcesses::kProcessorThreshold) {
        RecordProperty("processor_time_of_other_processes", "not reported");
        GTEST_SKIP() << "the system reports " << used << " x 100 ns for a program that spun for two seconds";
    }
    EXPECT_TRUE(listed);
    EXPECT_NE(table.FindByPid(child.Pid())->m_tLastProcessor, 0);
}

TEST_F(WindowsBackend, DetailsOfABuiltProgramComeFromItsFile) {
    ChildProcess child(LW_SPIN, "30");
    ASSERT_NE(child.Pid(), 0u);
    table.TakeSnapshot();
    CProcess* record = table.FindByPid(child.Pid());
    ASSERT_NE(record, nullptr);

    CWin32FileContent content;
    CNoPackageMetadata packages;
    CWinTrustVerifier signatures(libraries);
    DetailsContext context{files, content, packages, 0x0407, &signatures};
    LoadDetails(*record, context);
    record = table.FindByPid(child.Pid());
    ASSERT_NE(record, nullptr);

    VersionStrings expected;
    expected.m_strProductName = "Loadwatch test spinner";
    expected.m_strFileVersion = "2.5.0.7";
    expected.m_strFileDescription = "Burns the processor for tests";
    expected.m_strCompanyName = "Loadwatch tests & co";
    expected.m_strLegalCopyright = "(c) 2026 Loadwatch tests";
    expected.m_strInternalName = "lw-test-spin";
    EXPECT_EQ(record->m_versionStrings, expected);
    EXPECT_FALSE(record->m_bSigned);  // built here, never signed
    EXPECT_FALSE(record->m_bInWindowsFolder);
    EXPECT_GT(record->m_tFileCreated, 0);
    EXPECT_GT(record->m_tFolderCreated, 0);
}

}  // namespace
