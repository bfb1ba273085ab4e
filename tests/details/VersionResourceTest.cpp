#include <gtest/gtest.h>

#include <cstdio>

#include "details/UserLanguage.h"
#include "details/VersionResource.h"
#include "tests/details/PeBuilder.h"
#include "tests/fakes/Environment.h"
#include "tests/fakes/FakeFileContent.h"

namespace {

std::string AsString(const pe::Bytes& b) { return std::string(b.begin(), b.end()); }

VersionInfoResult Load(const pe::Bytes& image, std::vector<std::uint8_t>& buffer,
                       std::uint16_t langId = 0x0409) {
    CMemoryFile file(AsString(image));
    return GetFileVersionInfo(file, buffer, langId);
}

VersionStrings ReadImage(const pe::Bytes& image, std::uint16_t langId) {
    std::vector<std::uint8_t> buffer;
    if (Load(image, buffer, langId) != VersionInfoResult::Found) return {};
    return ReadVersionStrings(buffer, langId);
}

struct PrefixCase {
    const char* name;
    std::vector<pe::Table> tables;
    std::vector<std::uint32_t> translations;
    std::uint16_t userLang;
    const char* prefix;
    const char* productName;  // "" when every string must be empty
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const PrefixCase& c, std::ostream* out) { *out << c.name; }

class PrefixRules : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(PrefixRules, ChoosesTheBlockAndReadsIt) {
    const PrefixCase& c = GetParam();
    for (bool plus : {false, true}) {
        pe::Bytes image = pe::Image(pe::VersionBlock(c.tables, c.translations), {plus, true});
        std::vector<std::uint8_t> buffer;
        ASSERT_EQ(Load(image, buffer), VersionInfoResult::Found);
        EXPECT_EQ(GetVersionPrefix(buffer, c.userLang), c.prefix);
        VersionStrings s = ReadVersionStrings(buffer, c.userLang);
        EXPECT_EQ(s.m_strProductName, c.productName);
        if (*c.productName == 0) {
            EXPECT_EQ(s.m_strFileVersion + s.m_strFileDescription + s.m_strCompanyName +
                          s.m_strLegalCopyright + s.m_strComments + s.m_strInternalName,
                      "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    VersionResource, PrefixRules,
    ::testing::Values(PrefixCase{"OneTranslation",
                                 {{"040904E4", pe::SevenStrings("One")}},
                                 {0x04E40409},
                                 0x0407,
                                 "\\StringFileInfo\\040904E4\\",
                                 "One Product"},
                      PrefixCase{"TwoTranslationsUseTheUserLanguage",
                                 {{"040904B0", pe::SevenStrings("En")}, {"040704B0", pe::SevenStrings("De")}},
                                 {0x04B00409, 0x04B00407},
                                 0x0407,
                                 "\\StringFileInfo\\040704B0\\",
                                 "De Product"},
                      PrefixCase{"TwoTranslationsWithoutTheUserBlock",
                                 {{"040904E4", pe::SevenStrings("En")}, {"040704E4", pe::SevenStrings("De")}},
                                 {0x04E40409, 0x04E40407},
                                 0x0407,
                                 "\\StringFileInfo\\040704B0\\",
                                 ""},
                      PrefixCase{"NoTranslationGermanUser",
                                 {{"040704B0", pe::SevenStrings("De")}},
                                 {},
                                 0x0407,
                                 "\\StringFileInfo\\040704B0\\",
                                 "De Product"},
                      PrefixCase{"NoTranslationOtherBlock",
                                 {{"040904E4", pe::SevenStrings("En")}},
                                 {},
                                 0x0407,
                                 "\\StringFileInfo\\040704B0\\",
                                 ""},
                      PrefixCase{"LowerCaseBlockName",
                                 {{"040904e4", pe::SevenStrings("Lc")}},
                                 {0x04E40409},
                                 0x0409,
                                 "\\StringFileInfo\\040904E4\\",
                                 "Lc Product"}),
    [](const auto& info) { return std::string(info.param.name); });

// A file with a version resource per language, each with its own single
// translation, as multilingual system libraries come.
pe::Bytes Multilingual(const std::vector<std::pair<std::uint16_t, std::string>>& languages) {
    pe::Languages resources;
    for (const auto& [language, tag] : languages) {
        char table[9];
        std::snprintf(table, sizeof table, "%04X04B0", language);
        resources.push_back(
            {language, pe::VersionBlock({{table, pe::SevenStrings(tag)}}, {0x04B00000u | language})});
    }
    return pe::ImageInLanguages(resources);
}

TEST(VersionResource, ChoosesTheLanguageAsTheResourceLoaderDoes) {
    const struct {
        const char* rule;
        std::vector<std::pair<std::uint16_t, std::string>> languages;
        std::uint16_t user;
        const char* chosen;
    } cases[] = {
        {"the user's language", {{0x0419, "Ru"}, {0x0407, "De"}, {0x0409, "En"}}, 0x0407, "De"},
        {"the user's language first in the file",
         {{0x0419, "Ru"}, {0x0407, "De"}, {0x0409, "En"}},
         0x0419,
         "Ru"},
        {"exact before same primary", {{0x0407, "De"}, {0x0C07, "At"}}, 0x0C07, "At"},
        {"same primary language", {{0x0419, "Ru"}, {0x0407, "De"}, {0x0409, "En"}}, 0x0C07, "De"},
        {"its default sub-language first", {{0x0807, "Ch"}, {0x0407, "De"}}, 0x0C07, "De"},
        {"any sub-language before English", {{0x0409, "En"}, {0x0807, "Ch"}}, 0x0C07, "Ch"},
        {"neutral before English", {{0x0419, "Ru"}, {0x0409, "En"}, {0x0000, "Neutral"}}, 0x040C, "Neutral"},
        {"English when nothing closer", {{0x0419, "Ru"}, {0x0407, "De"}, {0x0409, "En"}}, 0x040C, "En"},
        {"else the first", {{0x0419, "Ru"}, {0x0407, "De"}}, 0x040C, "Ru"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(ReadImage(Multilingual(c.languages), c.user).m_strProductName,
                  std::string(c.chosen) + " Product");
    }
}

TEST(VersionResource, ReadsAllSevenStringsInTheirFields) {
    VersionStrings s =
        ReadImage(pe::Image(pe::VersionBlock({{"040904E4", pe::SevenStrings("X")}}, {0x04E40409})), 0x0409);
    EXPECT_EQ(s.m_strProductName, "X Product");
    EXPECT_EQ(s.m_strFileVersion, "1.2.3.4");
    EXPECT_EQ(s.m_strFileDescription, "X Description");
    EXPECT_EQ(s.m_strCompanyName, "X Company");
    EXPECT_EQ(s.m_strLegalCopyright, "(c) X");
    EXPECT_EQ(s.m_strComments, "X Comments");
    EXPECT_EQ(s.m_strInternalName, "XInternal");
}

TEST(VersionResource, EmptyValueIsTheEmptyStringLikeAMissingKey) {
    pe::Bytes block = pe::VersionBlock(
        {{"040904E4",
          {{"ProductName", ""}, {"FileVersion", "2.0"}, {"FileDescription", "caf\xC3\xA9 \xE2\x82\xAC"}}}},
        {0x04E40409});
    VersionStrings s = ReadImage(pe::Image(block), 0x0409);
    EXPECT_EQ(s.m_strProductName, "");
    EXPECT_EQ(s.m_strFileVersion, "2.0");
    EXPECT_EQ(s.m_strFileDescription, "caf\xC3\xA9 \xE2\x82\xAC");  // non-ASCII comes out as UTF-8
    EXPECT_EQ(s.m_strComments, "");
}

TEST(VersionResource, TellsProgramsWithoutResourceFromOtherFiles) {
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(Load(pe::Image({}, {false, false}), buffer), VersionInfoResult::NoResource);
    CMemoryFile elf(std::string("\x7f"
                                "ELF\x02\x01\x01",
                                7) +
                    std::string(200, '\0'));
    EXPECT_EQ(GetFileVersionInfo(elf, buffer, 0x0409), VersionInfoResult::NotProgram);
    EXPECT_FALSE(IsWindowsProgram(elf));
    CMemoryFile dos("MZ" + std::string(100, '\0'));  // e_lfanew 0 points at "MZ", not "PE"
    EXPECT_EQ(GetFileVersionInfo(dos, buffer, 0x0409), VersionInfoResult::NotProgram);
    CMemoryFile pe(AsString(pe::Image({}, {true, false})));
    EXPECT_TRUE(IsWindowsProgram(pe));
}

// Damaged files: each must be refused or read within its bounds; the
// sanitizer build turns any stray read into a failure.
TEST(VersionResource, RejectsDamagedFilesCleanly) {
    const pe::Bytes good = pe::Image(pe::VersionBlock({{"040904E4", pe::SevenStrings("G")}}, {0x04E40409}));
    struct Damage {
        const char* name;
        size_t at;
        std::uint32_t value;
    };
    const size_t sections = pe::kPeHeader + 24 + 224;
    const Damage damages[] = {
        {"PeOffsetPastEnd", 0x3C, 0xFFFFFFF0u},
        {"OptionalHeaderTooShort", pe::kPeHeader + 20, 4},
        {"UnknownOptionalMagic", pe::kPeHeader + 24, 0x0107},
        {"TooManySections", pe::kPeHeader + 6, 0xFFFF},
        {"RawDataPastEnd", sections + 20, 0x7FFFFFF0u},
        {"RawSizeHuge", sections + 16, 0xFFFFFFFFu},
        {"DataEntryOutsideSection", pe::kVersionDataEntry, 0x90000000u},
        {"DataSizeHuge", pe::kVersionDataEntry + 4, 0xFFFFFFFFu},
        {"DataSizeTiny", pe::kVersionDataEntry + 4, 2},
        {"TypeEntryPointsOutside", pe::kRsrcFileOffset + 20, 0xFFFFFFFFu},
        {"LanguageIsADirectory", pe::kRsrcFileOffset + 48 + 20, 0x80000000u},  // points at the root again
        {"EntryCountHuge", pe::kRsrcFileOffset + 12, 0xFFFFFFFFu},
        {"RootLengthZero", pe::kVersionBlockOffset, 0},
        {"RootLengthPastData", pe::kVersionBlockOffset, 0xFFFF},
        {"RootValueLengthHuge", pe::kVersionBlockOffset + 2, 0xFFFF},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        pe::Bytes bad = good;
        if (d.at == pe::kVersionBlockOffset || d.at == pe::kVersionBlockOffset + 2 ||
            d.at == pe::kPeHeader + 20 || d.at == pe::kPeHeader + 24 || d.at == pe::kPeHeader + 6)
            pe::Put16(bad, d.at, static_cast<std::uint16_t>(d.value));
        else
            pe::Put32(bad, d.at, d.value);
        std::vector<std::uint8_t> buffer;
        VersionInfoResult r = Load(bad, buffer);
        if (r == VersionInfoResult::Found) {
            EXPECT_LE(buffer.size(), 0x10000u);
            VersionStrings s = ReadVersionStrings(buffer, 0x0409);
            EXPECT_LE(s.m_strProductName.size(), buffer.size());
        }
    }
}

TEST(VersionResource, EveryTruncationIsHandled) {
    const pe::Bytes good = pe::Image(pe::VersionBlock({{"040904E4", pe::SevenStrings("T")}}, {0x04E40409}));
    for (size_t n = 0; n < good.size(); ++n) {
        pe::Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        std::vector<std::uint8_t> buffer;
        VersionInfoResult r = Load(cut, buffer);
        if (r == VersionInfoResult::Found) ReadVersionStrings(buffer, 0x0409);
    }
    // And a bare tree cut anywhere, as a version buffer.
    const pe::Bytes tree = pe::VersionBlock({{"040904E4", pe::SevenStrings("T")}}, {0x04E40409});
    for (size_t n = 0; n <= tree.size(); ++n) {
        std::vector<std::uint8_t> buffer(tree.begin(), tree.begin() + static_cast<std::ptrdiff_t>(n));
        VersionStrings s = ReadVersionStrings(buffer, 0x0409);
        if (n == tree.size()) {
            EXPECT_EQ(s.m_strInternalName, "TInternal");
        }
    }
}

TEST(VersionResource, StringWithoutTerminatorEndsAtItsNode) {
    pe::Node str = pe::Text("ProductName", "");
    str.value = pe::Utf16("abc", false);  // no zero: the node's end must stop the read
    str.valueLength = 40;                 // and a stated length past it is not trusted
    pe::Node table{"040904E4", {}, 0, true, {str}};
    pe::Node sfi{"StringFileInfo", {}, 0, true, {table}};
    pe::Node root{"VS_VERSION_INFO", {}, 0, false, {sfi}};
    pe::Bytes tree = pe::Serialize(root);
    EXPECT_EQ(GetVersionString(tree, "\\StringFileInfo\\040904E4\\", "ProductName"), "abc");
}

TEST(UserLanguage, LocaleNamesGiveLanguageIds) {
    const std::pair<const char*, std::uint16_t> cases[] = {
        {"de_DE.UTF-8", 0x0407},
        {"de_AT", 0x0C07},
        {"en_US.UTF-8", 0x0409},
        {"en_GB.ISO-8859-1", 0x0809},
        {"fr_FR@euro", 0x040C},
        {"pt_BR", 0x0416},
        {"de", 0x0407},
        {"de_XX", 0x0407},
        {"C", 0x0409},
        {"POSIX", 0x0409},
        {"", 0x0409},
        {"xx_YY", 0x0409},
        {"C.UTF-8", 0x0409},
        {"zh_TW.Big5", 0x0404},
    };
    for (const auto& [locale, id] : cases) EXPECT_EQ(LangIdFromLocale(locale), id) << locale;
}

TEST(UserLanguage, FirstSetVariableOfLcAllLcMessagesLangWins) {
    struct Env {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        std::uint16_t id;
    };
    const Env cases[] = {
        {"de_DE.UTF-8", "fr_FR", "it_IT", 0x0407},
        {"", "fr_FR", "it_IT", 0x040C},  // set but empty counts as unset
        {nullptr, nullptr, "it_IT", 0x0410},
        {nullptr, nullptr, nullptr, 0x0409},
    };
    for (const Env& e : cases) {
        const std::pair<const char*, const char*> vars[] = {
            {"LC_ALL", e.lcAll}, {"LC_MESSAGES", e.lcMessages}, {"LANG", e.lang}};
        for (const auto& [name, value] : vars) SetEnvironment(name, value);
        EXPECT_EQ(GetUserDefaultLangID(), e.id);
    }
}

}  // namespace
