#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "details/Details.h"
#include "details/DetailsHost.h"
#include "monitor/Processes.h"
#include "platform/SignatureVerifier.h"
#include "tests/details/PeBuilder.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileContent.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakePackageMetadata.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {

class CRecordingHost : public IDetailsHost {
public:
    std::vector<std::string> titles;
    int pumps = 0;
    std::function<void()> onPump;
    void SetTitle(const std::string& title) override { titles.push_back(title); }
    void PumpMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
};

class LoadDetailsTest : public ::testing::Test {
protected:
    void SetUp() override {
        VersionStrings tool;
        tool.m_strProductName = "tool";
        tool.m_strFileVersion = "1.0";
        tool.m_strCompanyName = "Tool Maker";
        packages.owned = {{"/usr/bin/tool", tool}, {"/usr/bin/changed", tool}};
        packages.intact = {"/usr/bin/tool"};
        content.Put("/usr/bin/tool", "abc");
        content.Put("/usr/bin/changed", "abX");
        content.Put("/opt/app/app.exe",
                    pe::Image(pe::VersionBlock({{"040904E4", pe::SevenStrings("App")}}, {0x04E40409})));
        files.birthTimes["/usr/bin/tool"] = 1'700'000'000;
        files.birthTimes["/usr/bin"] = 5'000'000'000;  // past 2038: full 64 bits
    }

    CProcess& Add(std::uint32_t pid, const std::string& path) {
        CProcess* r = table.FindOrAdd(pid);
        r->m_tLastSeen = clock.Now();
        if (!path.empty()) r->SetPath(path, files);
        return *r;
    }

    CFakeClock clock;
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeFileContent content;
    CFakePackageMetadata packages;
    CRecordingHost host;
    CProcesses table{{clock, source, files}};
    DetailsContext context{files, content, packages, host, 0x0409};
};

TEST_F(LoadDetailsTest, PackagedProgramGetsAllFactsAndTheTitleNotice) {
    LoadDetails(Add(10, "/usr/bin/tool"), table, context);
    const CProcess& r = *table.FindByPid(10);
    EXPECT_TRUE(r.m_bDetailsLoaded);
    EXPECT_EQ(r.m_tFileCreated, 1'700'000'000);
    EXPECT_EQ(r.m_tFolderCreated, 5'000'000'000);
    EXPECT_EQ(r.m_versionStrings.m_strProductName, "tool");
    EXPECT_EQ(r.m_versionStrings.m_strFileVersion, "1.0");
    EXPECT_EQ(r.m_versionStrings.m_strCompanyName, "Tool Maker");
    EXPECT_TRUE(r.m_bSigned);
    EXPECT_TRUE(r.m_bInWindowsFolder);
    EXPECT_EQ(host.titles, (std::vector<std::string>{"Loadwatch - Checking digital signature", "Loadwatch"}));
    EXPECT_EQ(host.pumps, 1);
}

TEST_F(LoadDetailsTest, WindowsProgramIsReadButNeverSigned) {
    LoadDetails(Add(11, "/opt/app/app.exe"), table, context);
    const CProcess& r = *table.FindByPid(11);
    EXPECT_EQ(r.m_versionStrings.m_strProductName, "App Product");
    EXPECT_EQ(r.m_versionStrings.m_strInternalName, "AppInternal");
    EXPECT_FALSE(r.m_bSigned);
    EXPECT_FALSE(r.m_bInWindowsFolder);
    EXPECT_EQ(r.m_tFileCreated, 0);  // no birth time known
}

// Stands for the system's own check (Authenticode on Windows).
class CListedSignatures : public ISignatureVerifier {
public:
    std::set<std::string> trusted;
    bool VerifySignature(const std::string& path) override { return trusted.count(path) != 0; }
};

TEST_F(LoadDetailsTest, TheSystemsOwnSignatureCheckDecidesForEveryFile) {
    CListedSignatures signatures;
    signatures.trusted = {"/opt/app/app.exe"};
    context.signatures = &signatures;
    LoadDetails(Add(14, "/opt/app/app.exe"), table, context);
    LoadDetails(Add(15, "/usr/bin/tool"), table, context);  // intact in its package, unknown to the check
    EXPECT_TRUE(table.FindByPid(14)->m_bSigned);
    EXPECT_FALSE(table.FindByPid(15)->m_bSigned);
}

TEST_F(LoadDetailsTest, ChangedPackagedFileIsNotSigned) {
    LoadDetails(Add(12, "/usr/bin/changed"), table, context);
    EXPECT_EQ(table.FindByPid(12)->m_versionStrings.m_strProductName, "tool");
    EXPECT_FALSE(table.FindByPid(12)->m_bSigned);
}

TEST_F(LoadDetailsTest, LoadsOncePerRecordAndNotAtAllWithoutPath) {
    CProcess& r = Add(13, "/usr/bin/tool");
    LoadDetails(r, table, context);
    content.Put("/usr/bin/tool", "changed");
    LoadDetails(*table.FindByPid(13), table, context);
    EXPECT_TRUE(table.FindByPid(13)->m_bSigned);
    EXPECT_EQ(host.pumps, 1);

    host.titles.clear();
    LoadDetails(Add(14, ""), table, context);
    const CProcess& none = *table.FindByPid(14);
    EXPECT_TRUE(none.m_bDetailsLoaded);
    EXPECT_TRUE(host.titles.empty());
    EXPECT_EQ(host.pumps, 1);
    EXPECT_FALSE(none.m_bSigned);
}

TEST_F(LoadDetailsTest, WindowsFolderMatchIgnoresCaseButNotSubfolders) {
    files.windowsDir = "/usr/sbin";
    files.systemDir = "/usr/bin";
    const std::pair<const char*, bool> cases[] = {
        {"/usr/bin/tool", true},   {"/USR/Bin/tool", true}, {"/usr/sbin/x", true},
        {"/usr/bin/sub/x", false}, {"/usr/bin2/x", false},  {"/usr/x", false},
    };
    std::uint32_t pid = 100;
    for (const auto& [path, expected] : cases) {
        LoadDetails(Add(pid, path), table, context);
        EXPECT_EQ(table.FindByPid(pid)->m_bInWindowsFolder, expected) << path;
        ++pid;
    }
    // An unknown directory matches nothing, not even an empty folder.
    files.windowsDir.clear();
    files.systemDir.clear();
    Add(200, "tool").m_strFolder.clear();
    LoadDetails(*table.FindByPid(200), table, context);
    EXPECT_FALSE(table.FindByPid(200)->m_bInWindowsFolder);
}

// A refresh during the pump moves or deletes records; the results must land
// on the record of the same process, or nowhere. Under the sanitizers a
// write through the old address fails the test.
TEST_F(LoadDetailsTest, ResultsFollowTheRecordMovedDuringThePump) {
    for (std::uint32_t pid = 1; pid <= 5; ++pid) Add(pid, "/opt/other" + std::to_string(pid));
    Add(20, "/usr/bin/tool");
    host.onPump = [&] {
        for (std::uint32_t pid = 1000; pid < 1400; ++pid) Add(pid, "");  // storage grows and moves
        table.MoveToFront(5);
        table.MoveToFront(20);
        table.MoveToFront(3);
    };
    LoadDetails(*table.FindByPid(20), table, context);
    const CProcess& r = *table.FindByPid(20);
    EXPECT_TRUE(r.m_bSigned);
    EXPECT_TRUE(r.m_bInWindowsFolder);
    EXPECT_EQ(r.m_versionStrings.m_strProductName, "tool");
    for (std::uint32_t pid : {1u, 2u, 3u, 4u, 5u}) {
        EXPECT_FALSE(table.FindByPid(pid)->m_bSigned);
        EXPECT_FALSE(table.FindByPid(pid)->m_bInWindowsFolder);
    }
}

TEST_F(LoadDetailsTest, ResultsGoNowhereWhenTheRecordIsDeletedDuringThePump) {
    Add(30, "/usr/bin/tool");
    Add(31, "/usr/bin/tool");
    host.onPump = [&] {
        table.FindByPid(30)->m_tLastSeen = 0;
        table.RemoveStale(1);
        Add(30, "/usr/bin/other");  // the id comes back as a new program meanwhile
    };
    LoadDetails(*table.FindByPid(30), table, context);
    EXPECT_EQ(table.GetSize(), 2);
    const CProcess& fresh = *table.FindByPid(30);
    EXPECT_FALSE(fresh.m_bDetailsLoaded);
    EXPECT_FALSE(fresh.m_bSigned);
    EXPECT_FALSE(fresh.m_bInWindowsFolder);
    EXPECT_FALSE(table.FindByPid(31)->m_bSigned);
    EXPECT_EQ(host.titles.back(), "Loadwatch");  // the title is restored all the same
}

}  // namespace
