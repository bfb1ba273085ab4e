#include <gtest/gtest.h>

#include "platform/linux/DpkgDatabase.h"
#include "platform/linux/OpensslDigests.h"
#include "tests/fakes/FakeFileContent.h"

namespace {

constexpr char kMd5Abc[] = "900150983cd24fb0d6963f7d28e17f72";  // RFC 1321 test suite
constexpr char kMd5Empty[] = "d41d8cd98f00b204e9800998ecf8427e";

const char kStatus[] =
    "Package: bash\n"
    "Essential: yes\n"
    "Status: install ok installed\n"
    "Maintainer: Matthias Klose <doko@debian.org>\n"
    "Architecture: amd64\n"
    "Multi-Arch: foreign\n"
    "Source: bash (5.2.15-2)\n"
    "Version: 5.2.15-2+b8\n"
    "Description: GNU Bourne Again SHell\n"
    " Bash is an sh-compatible command language interpreter.\n"
    " .\n"
    " Homepage: http://not.this.one/\n"
    "Homepage: http://tiswww.case.edu/php/chet/bash/bashtop.html\n"
    "\n"
    "Package: libfoo1\n"
    "Status: install ok installed\n"
    "Maintainer: Foo Team\n"
    "Architecture: amd64\n"
    "Multi-Arch: same\n"
    "Version: 1.0-1\n"
    "Description: foo library\n"
    "\n"
    "Package: gone\n"
    "Status: deinstall ok config-files\n"
    "Architecture: amd64\n"
    "Version: 2\n"
    "\n"
    "package: tool\n"  // field names ignore case; CRLF line ends are tolerated
    "status: install ok installed\r\n"
    "version: 3\r\n"
    "\n";

class DpkgDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs.Put("/var/lib/dpkg/status", std::string(kStatus));
        fs.Put("/var/lib/dpkg/info/bash.list",
               "/.\n/bin\n/bin/bash\n/usr/bin/bashbug\n/usr/bin/clear_console\n");
        fs.Put("/var/lib/dpkg/info/bash.md5sums",
               std::string(kMd5Abc) + "  bin/bash\n" + kMd5Abc + "  usr/bin/bashbug\n");
        fs.Put("/var/lib/dpkg/info/libfoo1:amd64.list", "/usr/lib/x86_64-linux-gnu/libfoo.so.1\n");
        fs.Put("/var/lib/dpkg/info/libfoo1:amd64.md5sums",
               std::string(kMd5Empty) + "  usr/lib/x86_64-linux-gnu/libfoo.so.1\n");
        fs.Put("/var/lib/dpkg/info/gone.list", "/usr/bin/gone\n");
        fs.Put("/var/lib/dpkg/info/gone.md5sums", std::string(kMd5Abc) + "  usr/bin/gone\n");
        fs.Put("/var/lib/dpkg/info/tool.list", "/usr/bin/tool\n");
        fs.Put("/usr/share/doc/bash/copyright",
               "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
               "Upstream-Name: bash\n\nFiles: *\n"
               "Copyright: (C) 1987-2022 Free Software Foundation, Inc.\n"
               "License: GPL-3+\n");
        fs.Put("/usr/share/doc/libfoo1/copyright",
               "This package was debianized by someone.\n"
               "Copyright and license:\n"
               "  Copyright (c) 2001 Foo Authors\n");
        fs.Put("/usr/bin/bash", "abc");
        fs.Put("/usr/bin/bashbug", "abd");        // changed after installation
        fs.Put("/usr/bin/clear_console", "abc");  // no checksum recorded
        fs.Put("/usr/lib/x86_64-linux-gnu/libfoo.so.1", "");
        fs.Put("/usr/bin/gone", "abc");
        fs.Put("/usr/bin/tool", "abc");
        fs.Put("/usr/local/bin/mine", "abc");
    }

    CFakeFileContent fs;
    COpensslDigests digests;
    CDpkgDatabase db{fs, digests};
};

TEST_F(DpkgDatabaseTest, MapsPackageMetadataToTheSevenStrings) {
    VersionStrings s;
    ASSERT_TRUE(db.GetVersionStrings("/usr/bin/bash", s));
    EXPECT_EQ(s.m_strProductName, "bash");
    EXPECT_EQ(s.m_strFileVersion, "5.2.15-2+b8");
    EXPECT_EQ(s.m_strFileDescription, "GNU Bourne Again SHell");
    EXPECT_EQ(s.m_strCompanyName, "Matthias Klose");
    EXPECT_EQ(s.m_strLegalCopyright, "Copyright (C) 1987-2022 Free Software Foundation, Inc.");
    EXPECT_EQ(s.m_strComments, "http://tiswww.case.edu/php/chet/bash/bashtop.html");
    EXPECT_EQ(s.m_strInternalName, "bash");

    ASSERT_TRUE(db.GetVersionStrings("/lib/x86_64-linux-gnu/libfoo.so.1", s));
    EXPECT_EQ(s.m_strProductName, "libfoo1");
    EXPECT_EQ(s.m_strCompanyName, "Foo Team");
    EXPECT_EQ(s.m_strLegalCopyright,
              "Copyright (c) 2001 Foo Authors");  // the heading without a year is passed over
    EXPECT_EQ(s.m_strComments, "");
    EXPECT_EQ(s.m_strInternalName, "libfoo1");  // no Source: the package itself

    ASSERT_TRUE(db.GetVersionStrings("/usr/bin/tool", s));
    EXPECT_EQ(s.m_strFileVersion, "3");
    EXPECT_EQ(s.m_strLegalCopyright, "");  // no copyright file

    VersionStrings untouched;
    EXPECT_FALSE(db.GetVersionStrings("/usr/local/bin/mine", untouched));
    EXPECT_FALSE(db.GetVersionStrings("/usr/bin/gone", untouched));  // only its configuration is left
    EXPECT_EQ(untouched.m_strProductName, "");
}

TEST_F(DpkgDatabaseTest, FindsBothSpellingsOfMergedFolders) {
    std::string recorded;
    for (const char* path : {"/usr/bin/bash", "/bin/bash"}) {
        const PackageInfo* p = db.FindOwner(path, &recorded);
        ASSERT_NE(p, nullptr) << path;
        EXPECT_EQ(p->name, "bash");
        EXPECT_EQ(recorded, "/bin/bash");
    }
    ASSERT_NE(db.FindOwner("/bin/bashbug", &recorded), nullptr);
    EXPECT_EQ(recorded, "/usr/bin/bashbug");
    EXPECT_EQ(db.FindOwner("/usr/sbin/bash"), nullptr);
}

TEST_F(DpkgDatabaseTest, VerifiesContentAgainstTheRecordedChecksum) {
    const std::pair<const char*, bool> cases[] = {
        {"/usr/bin/bash", true},                          // recorded as /bin/bash
        {"/usr/bin/bashbug", false},                      // content changed
        {"/usr/bin/clear_console", false},                // package records no checksum for it
        {"/usr/lib/x86_64-linux-gnu/libfoo.so.1", true},  // multi-arch names, empty file
        {"/usr/bin/gone", false},                         // package not installed
        {"/usr/bin/tool", false},                         // no md5sums file
        {"/usr/local/bin/mine", false},                   // no package
        {"/usr/bin/missing", false},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(db.VerifyFile(path), expected) << path;
}

TEST_F(DpkgDatabaseTest, BuildsTheIndexOnceAndOnlyWhenAsked) {
    EXPECT_FALSE(db.IndexBuilt());
    EXPECT_EQ(fs.opens.count("/var/lib/dpkg/status"), 0u);
    db.FindOwner("/usr/bin/bash");
    db.FindOwner("/usr/bin/tool");
    db.VerifyFile("/usr/bin/bash");
    EXPECT_EQ(fs.opens["/var/lib/dpkg/status"], 1);
    EXPECT_EQ(fs.opens["/var/lib/dpkg/info/bash.list"], 1);
    EXPECT_EQ(db.InstalledPackages(), 3u);
}

TEST_F(DpkgDatabaseTest, MissingDatabaseOwnsNothing) {
    CFakeFileContent empty;
    CDpkgDatabase none(empty, digests, {"/nowhere", "/nowhere/doc"});
    EXPECT_EQ(none.FindOwner("/usr/bin/bash"), nullptr);
    EXPECT_FALSE(none.VerifyFile("/usr/bin/bash"));
    EXPECT_TRUE(none.IndexBuilt());
}

TEST(PackagePathSpellings, AddsTheMergedUsrTwin) {
    using V = std::vector<std::string>;
    const std::pair<const char*, V> cases[] = {
        {"/usr/bin/x", {"/usr/bin/x", "/bin/x"}},
        {"/bin/x", {"/bin/x", "/usr/bin/x"}},
        {"/usr/sbin/x", {"/usr/sbin/x", "/sbin/x"}},
        {"/lib64/ld.so", {"/lib64/ld.so", "/usr/lib64/ld.so"}},
        {"/usr/lib/x86_64-linux-gnu/a.so", {"/usr/lib/x86_64-linux-gnu/a.so", "/lib/x86_64-linux-gnu/a.so"}},
        {"/usr/share/x", {"/usr/share/x"}},
        {"/binary/x", {"/binary/x"}},
        {"/usr/bin/", {"/usr/bin/"}},
        {"/opt/bin/x", {"/opt/bin/x"}},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(PackagePathSpellings(path), expected) << path;
}

}  // namespace
