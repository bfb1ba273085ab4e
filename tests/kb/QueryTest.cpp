// The query of the details panel: what is accepted, what gets a 400.
#include <gtest/gtest.h>

#include "kb/Query.h"
#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "online/UrlEncoding.h"
#include "res/StringTable.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/kb/QueryBuilder.h"
#include "tests/online/FakeHttpClient.h"

namespace {

TEST(KbQuery, ReadsWhatTheProgramSends) {
    KbQuery q;
    std::string error;
    ASSERT_TRUE(ParseKbQuery(KbTarget({{"fn", "a b+c%&=.exe"}, {"p", "C:\\Windows"}}), q, error)) << error;
    EXPECT_EQ(q.fileName, "a b+c%&=.exe");
    EXPECT_EQ(q.folder, "C:\\Windows");
    EXPECT_EQ(q.processStart, "06.12.2026 (13:55:10)");
    EXPECT_TRUE(q.isSigned);
    EXPECT_TRUE(q.inSystemFolder);
    EXPECT_EQ(q.companyName, "Matthias Klose");
    EXPECT_EQ(q.clientVersion, "1.13");
    EXPECT_EQ(q.folderStamp, 12345);
    EXPECT_EQ(q.Path(), "C:\\Windows/a b+c%&=.exe");
    ASSERT_TRUE(ParseKbQuery(KbTarget({{"p", ""}}), q, error)) << error;
    EXPECT_EQ(q.Path(), "/bash");
}

// Client and server read one table of keys: each field the program sends
// arrives in the field of the same meaning (distinct values catch a swap).
TEST(KbQuery, ReadsTheProgramsOwnQueryFieldByField) {
    CFakeHttpClient client;
    CFakeFileSystem files;
    CKnowledgeBase kb{client, files, "http://kb.test/index.php?lang=en&"};
    CProcess p;
    p.m_strFileName = "f";
    p.m_strFolder = "/d";
    p.m_bInWindowsFolder = true;
    VersionStrings& v = p.m_versionStrings;
    v = {"pn", "fv", "fd", "cn", "lc", "c", "in"};
    KbQuery q;
    std::string error;
    ASSERT_TRUE(ParseKbQuery(kb.ComposeUrl(p), q, error)) << error;
    EXPECT_EQ(q.Path(), "/d/f");
    EXPECT_FALSE(q.isSigned);
    EXPECT_TRUE(q.inSystemFolder);
    const std::string got[] = {q.productName,    q.fileVersion, q.fileDescription, q.companyName,
                               q.legalCopyright, q.comments,    q.internalName};
    const std::string sent[] = {v.m_strProductName, v.m_strFileVersion,    v.m_strFileDescription,
                                v.m_strCompanyName, v.m_strLegalCopyright, v.m_strComments,
                                v.m_strInternalName};
    for (std::size_t i = 0; i < std::size(got); ++i) EXPECT_EQ(got[i], sent[i]);
    EXPECT_EQ(q.clientVersion, kVersion);
}

TEST(KbQuery, EveryByteButNulSurvivesTheClientsEncoding) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    std::string decoded;
    ASSERT_TRUE(PercentDecode(UrlEncode(all), decoded));
    EXPECT_EQ(decoded, all);
}

TEST(KbQuery, EachMissingKeyIsNamed) {
    for (const auto& [key, value] : QueryDefaults()) {
        KbQuery q;
        std::string error;
        EXPECT_FALSE(ParseKbQuery(KbTarget({}, key), q, error)) << key;
        EXPECT_NE(error.find("\"" + key + "\" is missing"), std::string::npos) << error;
    }
}

TEST(KbQuery, RejectsWhatTheProgramNeverSends) {
    const std::string big(kMaxValueBytes + 1, 'a');
    struct Case {
        const char* name;
        std::string target;
    } cases[] = {
        {"escape cut short", KbTarget({}, "fd") + "&fd=%4"},
        {"escape at the end", KbTarget({}, "fd") + "&fd=%"},
        {"escape not hex", KbTarget({}, "fd") + "&fd=%zz"},
        {"escape half hex", KbTarget({}, "fd") + "&fd=%g0"},
        {"NUL", KbTarget({}, "fd") + "&fd=a%00b"},
        {"value too long", KbTarget({{"fd", big}})},
        {"target too long", KbTarget({{"fd", std::string(2000, '.')}})},
        {"key twice", KbTarget() + "&fn=other"},
        {"flag not 0 or 1", KbTarget({{"se", "2"}})},
        {"flag a word", KbTarget({{"iwf", "yes"}})},
        {"stamp not a number", KbTarget({{"wd", "12x"}})},
        {"stamp empty", KbTarget({{"wd", ""}})},
        {"file name with a slash", KbTarget({{"fn", "../../etc/shadow"}})},
    };
    for (const Case& c : cases) {
        KbQuery q;
        std::string error;
        EXPECT_FALSE(ParseKbQuery(c.target, q, error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

TEST(KbQuery, IgnoresOtherKeysAndEmptyPairs) {
    KbQuery q;
    std::string error;
    EXPECT_TRUE(ParseKbQuery(KbTarget() + "&&future=1&lang=de", q, error)) << error;
    EXPECT_TRUE(ParseKbQuery(KbTarget({{"wd", "-5"}}), q, error)) << error;
    EXPECT_EQ(q.folderStamp, -5);
}

}  // namespace
