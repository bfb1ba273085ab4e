#include <gtest/gtest.h>

#include <cstdint>

#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/online/FakeHttpClient.h"
#include "tests/online/TimeZone.h"

namespace {

constexpr std::int64_t kSunday = 1796565310;  // 2026-12-06 13:55:10 UTC
constexpr std::uint64_t kSundayFileTime = 134410389100000000ull;
// Both as sent: digits are escaped too.
#define SUNDAY_SENT "%31%32%2f%30%36%2f%32%36%20%28%31%33%3a%35%35%3a%31%30%29"
#define UNKNOWN_SENT "unknown"

class ComposeUrlTest : public ::testing::Test {
protected:
    CLocaleAndZone m_zone{"C", "UTC0"};
    CFakeHttpClient m_client;
    CFakeFileSystem m_files;
    CKnowledgeBase m_kb{m_client, m_files, "http://kb.test/index.php?lang=en&"};
    CProcess m_p;
};

TEST_F(ComposeUrlTest, CarriesTheFieldsInOrder) {
    m_files.birthTimes["/usr/sbin"] = 1700000000;
    m_p.m_strFileName = "notepad.exe";
    m_p.m_strFolder = "C:\\Windows";
    m_p.m_tFileCreated = kSunday;
    m_p.m_tFolderCreated = 0;  // unknown
    m_p.m_ftCreation = kSundayFileTime;
    m_p.m_bSigned = true;
    m_p.m_versionStrings.m_strProductName = "P N";
    m_p.m_versionStrings.m_strFileVersion = "1.0";
    m_p.m_versionStrings.m_strFileDescription = "d";
    m_p.m_versionStrings.m_strCompanyName = "c\xae";
    m_p.m_versionStrings.m_strLegalCopyright = "(C)";
    m_p.m_versionStrings.m_strComments = "x";
    m_p.m_versionStrings.m_strInternalName = "i";
    EXPECT_EQ(m_kb.ComposeUrl(m_p),
              "http://kb.test/index.php?lang=en&fn=notepad%2eexe&p=C%3a%5cWindows"
              "&ct1=" SUNDAY_SENT "&ct2=" UNKNOWN_SENT "&ct3=" SUNDAY_SENT
              "&se=1&iwf=0&pn=P%20N&fv=%31%2e%30&fd=d"
              "&cn=c%ae&lc=%28C%29&c=x&in=i&v=1.13&wd=1181548544");
}

TEST_F(ComposeUrlTest, SendsEmptyVersionStringsAsEmptyValues) {
    m_p.m_strFileName = "app.exe";
    m_p.m_bInWindowsFolder = true;
    m_p.m_ftCreation = 0;  // before 1970: unknown
    std::string url = m_kb.ComposeUrl(m_p);
    EXPECT_NE(url.find("&ct3=" UNKNOWN_SENT "&"), std::string::npos) << url;
    EXPECT_NE(url.find("&se=0&iwf=1&pn=&fv=&fd=&cn=&lc=&c=&in=&v=1.13&wd=0"), std::string::npos) << url;
}

TEST_F(ComposeUrlTest, KeepsLongFieldsWhole) {
    // Far beyond the 8 KiB that a fixed formatting buffer would hold.
    m_p.m_versionStrings.m_strComments = std::string(20000, 'x');
    m_p.m_versionStrings.m_strLegalCopyright = std::string(5000, ' ');
    std::string url = m_kb.ComposeUrl(m_p);
    EXPECT_NE(url.find("&c=" + std::string(20000, 'x') + "&in=&v=1.13&wd="), std::string::npos);
    std::string blanks;
    for (int i = 0; i < 5000; ++i) blanks += "%20";
    EXPECT_NE(url.find("&lc=" + blanks + "&c="), std::string::npos);
}

}  // namespace
