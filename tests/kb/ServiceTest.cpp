// Pages from the service, and the rule that a request never makes the
// server read a file.
#include <gtest/gtest.h>

#include "kb/AdviceDatabase.h"
#include "kb/FactPaths.h"
#include "kb/KbService.h"
#include "kb/LocalFacts.h"
#include "tests/kb/FactTree.h"
#include "tests/kb/QueryBuilder.h"
#include "tests/kb/RecordingSourceFiles.h"

namespace {

class KbService : public ::testing::Test {
protected:
    CFactTree m_tree;
    CRecordingSourceFiles m_files;
    CLocalFacts m_facts{m_files, DefaultFactPaths(m_tree.Root(), "")};
    CAdviceDatabase m_advice{":memory:"};
    CKbService m_service{m_facts, m_advice};

    std::string Page(const std::map<std::string, std::string>& changes) {
        KbAnswer answer = m_service.Answer(KbTarget(changes));
        EXPECT_EQ(answer.status, 200) << answer.page;
        return answer.page;
    }
};

bool Has(const std::string& page, const std::string& text) { return page.find(text) != std::string::npos; }

TEST_F(KbService, PackagedProgramInASystemFolder) {
    std::string page = Page({});
    EXPECT_TRUE(Has(page, "<b>Intact</b>")) << page;
    EXPECT_TRUE(Has(page, "a system folder")) << page;
    EXPECT_TRUE(Has(page, "bash 5.2.15-2: GNU Bourne Again SHell")) << page;
    EXPECT_TRUE(Has(page, "<p>Bash is an sh-compatible command language interpreter.</p>")) << page;
    EXPECT_TRUE(Has(page, "<tt>  verbatim &lt;line&gt;</tt>")) << page;
    EXPECT_TRUE(Has(page, "<a href=\"http://tiswww.case.edu/php/chet/bash/bashtop.html\">")) << page;
    EXPECT_TRUE(Has(page, "GNU Bourne-Again SHell")) << page;  // manual
    EXPECT_TRUE(Has(page, "06.12.2026 (13:55:10)")) << page;
    EXPECT_TRUE(Has(page, "Safe to close?")) << page;
}

TEST_F(KbService, CopyOutsideEveryPackage) {
    std::string page = Page({{"p", "/tmp"}, {"se", "0"}, {"iwf", "0"}, {"pn", ""}});
    EXPECT_TRUE(Has(page, "The file belongs to no installed package.")) << page;
    EXPECT_TRUE(Has(page, "<b>Not verified</b>: the file belongs to no installed package")) << page;
    EXPECT_FALSE(Has(page, "Not intact")) << page;
    EXPECT_TRUE(Has(page, "not a system folder")) << page;
    EXPECT_TRUE(Has(page, "no package installed it")) << page;
}

// Only a packaged file whose content differs is "Not intact"; a time the
// program could not learn reads "unknown"; a name cannot disguise itself.
TEST_F(KbService, IntegrityTimesAndDisguisedNames) {
    const std::string changed = Page({{"se", "0"}});
    EXPECT_TRUE(Has(changed, "<b>Not intact</b>: the file does not match what package bash")) << changed;
    EXPECT_TRUE(Has(changed, "File created</b></td><td>01/02/26 (10:00:00)")) << changed;
    EXPECT_TRUE(Has(changed, "Folder created</b></td><td>unknown")) << changed;  // sent empty
    const std::string spoofed = Page({{"fn", "rtl\xe2\x80\xaegnp.exe\nx"}, {"ct1", "unknown"}});
    EXPECT_TRUE(Has(spoofed, "<h3>rtl\\xe2\\x80\\xaegnp.exe\\x0ax</h3>")) << spoofed;
    EXPECT_TRUE(Has(spoofed, "/usr/bin/rtl\\xe2\\x80\\xaegnp.exe\\x0ax")) << spoofed;
    EXPECT_TRUE(Has(spoofed, "File created</b></td><td>unknown")) << spoofed;
    EXPECT_FALSE(Has(spoofed, "\xe2\x80\xae")) << spoofed;
}

TEST_F(KbService, DesktopEntryNamesTheProgramAndUnsafeHomepagesAreNoLinks) {
    std::string page = Page({{"fn", "foo"}, {"pn", "libfoo1"}});
    EXPECT_TRUE(Has(page, "<h3>Foo Viewer <small>(foo)</small></h3>")) << page;
    EXPECT_TRUE(Has(page, "Looks at foo")) << page;
    EXPECT_TRUE(Has(page, "foo library &lt;b&gt;")) << page;
    EXPECT_FALSE(Has(page, "javascript:")) << page;
}

// Both names in the heading come from files anyone may write: the entry's
// name and, beside it, the file name are shown escaped and printable.
TEST_F(KbService, HostileNamesInTheHeadingAreEscaped) {
    const std::string file = "<blink>x&\xe2\x80\xae\x1b[2J";
    m_tree.Write("usr/share/applications/evil.desktop",
                 "[Desktop Entry]\nType=Application\nName=<script>Evil\xc2\x9b\nComment=Evil\nExec=/opt/evil/" + file +
                     "\n");
    m_tree.Write("usr/share/man/man1/evil.1", ".TH EVIL 1\n.SH NAME\n" + file + " \\- does evil\n");
    m_tree.Touch("usr/share/applications");
    m_tree.Touch("usr/share/man/man1");
    ASSERT_EQ(m_facts.Refresh(), 2);
    const std::string page = Page({{"fn", file}, {"p", "/opt/evil"}, {"pn", ""}});
    const std::string shown = "&lt;blink&gt;x&amp;\\xe2\\x80\\xae\\x1b[2J";
    EXPECT_TRUE(Has(page, "<h3>&lt;script&gt;Evil\\xc2\\x9b <small>(" + shown + ")</small></h3>")) << page;
    EXPECT_TRUE(Has(page, "<b>Manual</b></td><td>" + shown + " - does evil")) << page;
    for (const char* raw : {"<script", "<blink", "\x1b", "\xe2\x80\xae", "\xc2\x9b"}) EXPECT_FALSE(Has(page, raw)) << raw;
}

TEST_F(KbService, RequestsReadNoFiles) {
    const std::size_t built = m_files.Opened().size();
    for (const auto& [fn, folder] : std::vector<std::pair<std::string, std::string>>{
             {"shadow", "/etc"},
             {"shadow", "/usr/bin/../../etc"},
             {"passwd", "../../../../etc"},
             {"status", m_tree.Root() + "/var/lib/dpkg"},
             {"bash.1.gz", m_tree.Root() + "/usr/share/man/man1"}}) {
        KbAnswer answer = m_service.Answer(KbTarget({{"fn", fn}, {"p", folder}, {"pn", ""}}));
        EXPECT_EQ(answer.status, 200);
        EXPECT_FALSE(Has(answer.page, "Package: bash")) << answer.page;  // no file content
    }
    EXPECT_EQ(m_files.Opened().size(), built);
    EXPECT_EQ(m_service.Answer("/index.php?fn=%zz").status, 400);
}

}  // namespace
