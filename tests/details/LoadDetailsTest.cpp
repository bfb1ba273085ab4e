#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "details/Details.h"
#include "monitor/Processes.h"
#include "platform/SignatureVerifier.h"
#include "tests/details/PeBuilder.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileContent.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakePackageMetadata.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {

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
    CProcesses table{{clock, source, files}};
    DetailsContext context{files, content, packages, 0x0409};
};

TEST_F(LoadDetailsTest, PackagedProgramGetsAllFacts) {
    LoadDetails(Add(10, "/usr/bin/tool"), context);
    const CProcess& r = *table.FindByPid(10);
    EXPECT_TRUE(r.m_bDetailsLoaded);
    EXPECT_EQ(r.m_tFileCreated, 1'700'000'000);
    EXPECT_EQ(r.m_tFolderCreated, 5'000'000'000);
    EXPECT_EQ(r.m_versionStrings.m_strProductName, "tool");
    EXPECT_EQ(r.m_versionStrings.m_strFileVersion, "1.0");
    EXPECT_EQ(r.m_versionStrings.m_strCompanyName, "Tool Maker");
    EXPECT_TRUE(r.m_bSigned);
    EXPECT_TRUE(r.m_bInWindowsFolder);
}

TEST_F(LoadDetailsTest, WindowsProgramIsReadButNeverSigned) {
    LoadDetails(Add(11, "/opt/app/app.exe"), context);
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
    LoadDetails(Add(14, "/opt/app/app.exe"), context);
    LoadDetails(Add(15, "/usr/bin/tool"), context);  // intact in its package, unknown to the check
    EXPECT_TRUE(table.FindByPid(14)->m_bSigned);
    EXPECT_FALSE(table.FindByPid(15)->m_bSigned);
}

TEST_F(LoadDetailsTest, ChangedPackagedFileIsNotSigned) {
    LoadDetails(Add(12, "/usr/bin/changed"), context);
    EXPECT_EQ(table.FindByPid(12)->m_versionStrings.m_strProductName, "tool");
    EXPECT_FALSE(table.FindByPid(12)->m_bSigned);
}

TEST_F(LoadDetailsTest, LoadsOncePerRecordAndNotAtAllWithoutPath) {
    CProcess& r = Add(13, "/usr/bin/tool");
    LoadDetails(r, context);
    content.Put("/usr/bin/tool", "changed");
    LoadDetails(*table.FindByPid(13), context);
    EXPECT_TRUE(table.FindByPid(13)->m_bSigned);

    LoadDetails(Add(14, ""), context);
    const CProcess& none = *table.FindByPid(14);
    EXPECT_TRUE(none.m_bDetailsLoaded);
    EXPECT_FALSE(none.m_bSigned);
    EXPECT_EQ(LoadProgramFacts("", "", context), ProgramFacts{});
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
        LoadDetails(Add(pid, path), context);
        EXPECT_EQ(table.FindByPid(pid)->m_bInWindowsFolder, expected) << path;
        ++pid;
    }
    // An unknown directory matches nothing, not even an empty folder.
    files.windowsDir.clear();
    files.systemDir.clear();
    Add(200, "tool").m_strFolder.clear();
    LoadDetails(*table.FindByPid(200), context);
    EXPECT_FALSE(table.FindByPid(200)->m_bInWindowsFolder);
}

}  // namespace
