// The indexes of local facts, built from a small machine in a temporary folder.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "kb/FactPaths.h"
#include "kb/FactRefresher.h"
#include "kb/LocalFacts.h"
#include "kb/ManIndex.h"
#include "tests/kb/FactTree.h"
#include "tests/kb/RecordingSourceFiles.h"

namespace {

TEST(KbFacts, PackageOwnersFromTheDpkgDatabase) {
    CFactTree tree;
    CRecordingSourceFiles files;
    CLocalFacts facts(files, DefaultFactPaths(tree.Root(), ""));
    const CPackageIndex& packages = *facts.Current().packages;
    struct Case {
        const char* path;
        const char* owner;  // null: nobody
    } cases[] = {
        {"/bin/bash", "bash"},
        {"/usr/bin/bash", "bash"},    // recorded before the /usr merge
        {"/usr/bin/foo", "libfoo1"},  // list named NAME:ARCH
        {"/usr/lib/x86_64-linux-gnu/libfoo.so.1", "libfoo1"},
        {"/lib/x86_64-linux-gnu/libfoo.so.1", "libfoo1"},
        {"/usr/bin/gone", nullptr},  // only its configuration files are left
        {"/usr/bin/../bin/bash", nullptr},
        {"/tmp/bash", nullptr},
        {"/", nullptr},
    };
    for (const Case& c : cases) {
        const KbPackage* p = packages.FindOwner(c.path);
        EXPECT_EQ(p ? p->name : "(none)", c.owner ? c.owner : "(none)") << c.path;
    }
    const KbPackage* bash = packages.FindOwner("/bin/bash");
    ASSERT_NE(bash, nullptr);
    EXPECT_EQ(bash->version, "5.2.15-2");
    EXPECT_EQ(bash->synopsis, "GNU Bourne Again SHell");
    EXPECT_EQ(bash->description,
              (std::vector<std::string>{"Bash is an sh-compatible command language interpreter.", ".",
                                        "  verbatim <line>"}));
    EXPECT_EQ(packages.PackageCount(), 2u);
}

TEST(KbFacts, DesktopEntriesByTheProgramTheyStart) {
    CFactTree tree;
    CRecordingSourceFiles files;
    CLocalFacts facts(files, DefaultFactPaths(tree.Root(), ""));
    const CDesktopIndex& desktop = *facts.Current().desktop;
    const KbDesktopEntry* foo = desktop.Find("/usr/bin/foo", "foo");
    ASSERT_NE(foo, nullptr);
    EXPECT_EQ(foo->name, "Foo Viewer");  // not the German name, not the action's
    EXPECT_EQ(foo->comment, "Looks at foo");
    EXPECT_EQ(desktop.Find("/opt/foo", "foo"), nullptr);        // Exec named a full path
    EXPECT_EQ(desktop.Find("/usr/bin/gone", "gone"), nullptr);  // hidden entry

    struct Case {
        const char* exec;
        const char* program;
    } cases[] = {{"firefox %u", "firefox"},
                 {"\"/opt/My App/run\" --x", "/opt/My App/run"},
                 {"env A=1 B=2 gimp %U", "gimp"},
                 {"/usr/bin/env -u X foo", "foo"},
                 {"", ""}};
    for (const Case& c : cases) EXPECT_EQ(ExecProgram(c.exec), c.program) << c.exec;
}

TEST(KbFacts, ManualSummariesFromRoffAndMdoc) {
    CFactTree tree;
    CRecordingSourceFiles files;
    CLocalFacts facts(files, DefaultFactPaths(tree.Root(), ""));
    const CManIndex& manuals = *facts.Current().manuals;
    struct Case {
        const char* name;
        const char* summary;
    } cases[] = {{"bash", "GNU Bourne-Again SHell"},  // gzip, "\-"
                 {"foo", "inspects foos"},            // mdoc, font escapes
                 {"foo2", "inspects foos"},           // second name of the page
                 {"link", nullptr}};                  // ".so" link: no NAME
    for (const Case& c : cases) {
        const std::string* s = manuals.Find(c.name);
        EXPECT_EQ(s ? *s : "(none)", c.summary ? c.summary : "(none)") << c.name;
    }
    std::vector<std::string> names;
    std::string summary;
    EXPECT_TRUE(ParseManName(".SH \"NAME\"\n.B gzip, gunzip\n\\- compress \\(em or expand files\n.SH X\n",
                             names, summary));
    EXPECT_EQ(names, (std::vector<std::string>{"gzip", "gunzip"}));
    EXPECT_EQ(summary, "compress - or expand files");
}

TEST(KbFacts, RebuildsOnlyWhatChanged) {
    CFactTree tree;
    CRecordingSourceFiles files;
    CLocalFacts facts(files, DefaultFactPaths(tree.Root(), ""));
    auto before = facts.Current();
    EXPECT_EQ(facts.Refresh(), 0);

    tree.Write("var/lib/dpkg/info/bash.list", "/bin/bash\n/usr/bin/bashbug\n");
    tree.Touch("var/lib/dpkg/info");
    EXPECT_EQ(facts.Refresh(), 1);
    auto after = facts.Current();
    EXPECT_NE(after.packages, before.packages);
    EXPECT_EQ(after.manuals, before.manuals);
    EXPECT_NE(after.packages->FindOwner("/usr/bin/bashbug"), nullptr);
    // A reader's view stays whole while the index is replaced.
    EXPECT_EQ(before.packages->FindOwner("/usr/bin/bashbug"), nullptr);

    tree.Write("usr/share/applications/bar.desktop",
               "[Desktop Entry]\nType=Application\nName=Bar\nExec=bar\n");
    tree.Touch("usr/share/applications");
    EXPECT_EQ(facts.Refresh(), 1);
    EXPECT_NE(facts.Current().desktop->Find("/usr/bin/bar", "bar"), nullptr);
}

// A manual page installed later is found once the facts are refreshed,
// whether its folder was there before or not, and by the server's own
// refresher as well as by a direct call.
TEST(KbFacts, AManualPageAddedIsFoundAfterARefresh) {
    struct Case {
        const char* folder;
        bool byRefresher;
    } cases[] = {{"usr/share/man/man1", false},
                 {"usr/share/man/man6", false},  // a section that was empty
                 {"usr/local/share/man/man1", false},
                 {"usr/share/man/man8", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        CFactTree tree;
        CRecordingSourceFiles files;
        CLocalFacts facts(files, DefaultFactPaths(tree.Root(), ""));
        tree.Write(std::string(c.folder) + "/added.1", ".TH ADDED 1\n.SH NAME\nadded \\- came later\n");
        tree.Touch(c.folder);
        auto found = [&] {
            const std::string* summary = facts.Current().manuals->Find("added");
            return summary && *summary == "came later";
        };
        if (c.byRefresher) {
            CFactRefresher refresher(facts, std::chrono::milliseconds(5));
            const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (!found() && std::chrono::steady_clock::now() < limit)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } else {
            EXPECT_EQ(facts.Refresh(), 1);
        }
        EXPECT_TRUE(found());
        EXPECT_NE(facts.Current().manuals->Find("bash"), nullptr);  // the others stay
    }
}

}  // namespace
