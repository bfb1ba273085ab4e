#include <gtest/gtest.h>

#include "actions/UninstallerSearch.h"
#include "monitor/Process.h"
#include "tests/fakes/FakeFileSystem.h"

namespace {
TEST(Uninstaller, LatestCandidateWinsAndAllAreTested) {
    CFakeFileSystem fs;
    fs.entries = {"/opt/app/unins000.exe", "/opt/app/uninst.exe", "/opt/app/unwise.exe"};
    EXPECT_EQ(FindUninstaller("/opt/app", fs), "/opt/app/uninst.exe");
    EXPECT_EQ(fs.lookups, 5);
}

// Each candidate is found on its own, and wins over all the ones before it.
TEST(Uninstaller, CandidatesInTheirOrder) {
    const char* const order[] = {"unwise.exe", "unins000.exe", "Uninstall.exe", "remove.exe", "uninst.exe"};
    CFakeFileSystem all;
    for (const char* name : order) {
        const std::string path = std::string("/opt/app/") + name;
        CFakeFileSystem alone;
        alone.entries = {path};
        EXPECT_EQ(FindUninstaller("/opt/app", alone), path);
        all.entries.insert(path);
        EXPECT_EQ(FindUninstaller("/opt/app", all), path);
    }
}

TEST(Uninstaller, CandidateSpellingOnCaseInsensitiveFileSystems) {
    CFakeFileSystem fs;
    fs.ignoreCase = true;
    fs.entries = {"/mnt/win/app/UNINSTALL.EXE"};
    EXPECT_EQ(FindUninstaller("/mnt/win/app", fs), "/mnt/win/app/Uninstall.exe");
}

TEST(Uninstaller, SystemFoldersThemselvesAreNotSearched) {
    CFakeFileSystem fs;
    fs.entries = {"/usr/bin/uninst.exe", "/usr/sbin/remove.exe", "/usr/bin/sub/remove.exe"};
    EXPECT_EQ(FindUninstaller("/USR/BIN", fs), "");
    EXPECT_EQ(FindUninstaller("/usr/sbin", fs), "");
    EXPECT_EQ(fs.lookups, 0);
    EXPECT_EQ(FindUninstaller("/usr/bin/sub", fs), "/usr/bin/sub/remove.exe");
}

TEST(Uninstaller, SetPathSearchesTheProgramsFolder) {
    CFakeFileSystem fs;
    fs.entries = {"/opt/game/remove.exe"};
    CProcess r;
    r.SetPath("/opt/game/game.bin", fs, &FindUninstaller);
    EXPECT_EQ(r.m_strUninstaller, "/opt/game/remove.exe");
    CProcess bare;
    bare.SetPath("noseparator", fs, &FindUninstaller);  // folder is the whole text
    EXPECT_EQ(bare.m_strUninstaller, "");
}
}  // namespace
