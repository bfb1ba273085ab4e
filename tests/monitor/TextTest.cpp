#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "res/PrintableText.h"
#include "res/StringTable.h"
#include "res/Text.h"

namespace {
// What may steer a terminal, break a line or reorder the letters is shown as
// the escapes of its bytes; other text, in any script, stays as it is.
TEST(Printable, EscapesWhatCouldDisguiseAName) {
    const std::pair<const char*, const char*> table[] = {
        {"caf\xc3\xa9 \xe4\xb8\xad", "caf\xc3\xa9 \xe4\xb8\xad"},  // real text: kept
        {"a\\b", "a\\\\b"},                                        // a backslash doubles
        {"evil\x1b[31m\x7f", "evil\\x1b[31m\\x7f"},                // C0 and DEL
        {"line\nbreak", "line\\x0abreak"},
        {"c1\xc2\x9b", "c1\\xc2\\x9b"},                           // C1
        {"rtl\xe2\x80\xaegnp.exe", "rtl\\xe2\\x80\\xaegnp.exe"},  // U+202E
        {"\xe2\x80\xaa\xe2\x81\xa6\xe2\x81\xa9", "\\xe2\\x80\\xaa\\xe2\\x81\\xa6\\xe2\\x81\\xa9"},
        {"\xe2\x80\x8f\xd8\x9c", "\\xe2\\x80\\x8f\\xd8\\x9c"},  // RLM, ALM
        {"p\xe2\x80\xa8q\xe2\x80\xa9", "p\\xe2\\x80\\xa8q\\xe2\\x80\\xa9"},
        {"\xe2\x80\xa7\xe2\x81\xaa", "\xe2\x80\xa7\xe2\x81\xaa"},  // neighbours kept
        {"bad\xff\xc0\xaf", "bad\\xff\\xc0\\xaf"},                 // not UTF-8, overlong
        // Each form RFC 3629 forbids, byte by byte; a valid 4-byte one kept.
        {"\xe0\x80\xaf\xf0\x80\x80\xaf", "\\xe0\\x80\\xaf\\xf0\\x80\\x80\\xaf"},  // overlong
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},                               // surrogate
        {"\xf4\x90\x80\x80\xf5\x80\x80\x80", "\\xf4\\x90\\x80\\x80\\xf5\\x80\\x80\\x80"},  // past U+10FFFF
        {"\xf0\x9f\x98\xc0", "\\xf0\\x9f\\x98\\xc0"},                   // bad last byte
        {"end\xf0\x9f\x98", "end\\xf0\\x9f\\x98"},                         // cut short
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
    };
    for (const auto& [in, out] : table) EXPECT_EQ(Printable(in), out) << in;
}

// Every text of the string table, exactly; every other id is missing.
TEST(StringTable, EveryTextExactly) {
    const std::map<unsigned, std::string> texts = {
        {1000,
         "Path and filename were copied into the clipboard. You can paste them in the \"File open\" dialog."},
        {1001, "Loadwatch"},
        {1002, "Program"},
        {1003, "Activity"},
        {1008, "Hard disk"},
        {1009, "Network"},
        {1010, "Processor"},
        {1016, "Program closed"},
        {1019, "Close program %s - Are you sure?"},
        {1020, "Terminate program %s - Are you sure?\n\nUnsaved changes will be lost!"},
        {1021, "Uninstall program %s - Are you sure?"},
        {1022, "Close program - Are you sure?"},
        {1024, "http://localhost:8642/index.php?lang=en&"},
        {1025, "No data. Please create a connection to the internet."},
        {1026, "Please choose a program."},
        {1027, "Inf&o about..."},
        {1029, "Checking digital signature"},
        {1030, "Loading the details of this program..."},
        {1031, "%s (%i processes)"},
        {1032, "%s (its short-lived programs)"},
        {1033, "<p><b>The program file was replaced or deleted since this program started.</b> What follows "
               "describes the file now at its place, if there is one.</p>"},
        {1034, "<p><b>This program was started from memory: it has no program file.</b></p>"},
        {1035, "Processor: %s of one core\nHard disk: read %s, write %s\nNetwork: received %s, sent %s"},
    };
    for (unsigned id : {0u, 1u, 999u, 1036u, 65535u}) EXPECT_EQ(LoadText(id), "") << id;
    for (unsigned id = 1000; id <= 1035; ++id) {
        if (id == 1028) continue;  // below
        auto it = texts.find(id);
        EXPECT_EQ(LoadText(id), it == texts.end() ? "" : it->second) << id;
    }
    // The about text's wording is ours; its lines are: title and version, a
    // blank line, the copyright, two blank lines, the HTML control's notice.
    std::vector<std::string> lines;
    std::istringstream about(LoadText(1028));
    for (std::string line; std::getline(about, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u) << LoadText(1028);
    EXPECT_EQ(lines[0], "Loadwatch 1.13");
    EXPECT_EQ(lines[1] + lines[3] + lines[4], "");
    EXPECT_EQ(lines[2].rfind("Copyright", 0), 0u);
    EXPECT_NE(lines[5].find("contains code of"), std::string::npos);
    // It names what this build contains and nothing it does not.
#ifdef _WIN32
    const bool windows = true;
#else
    const bool windows = false;
#endif
    const std::pair<const char*, bool> named[] = {{"Qt", !windows}, {"MinGW-w64", windows}};
    for (auto [name, inBuild] : named) EXPECT_EQ(lines[5].find(name) != std::string::npos, inBuild) << name;
}

TEST(JoinWithComma, DropsEmptyParts) {
    EXPECT_EQ(JoinWithComma("", "Network"), "Network");
    EXPECT_EQ(JoinWithComma("Hard disk", ""), "Hard disk");
    EXPECT_EQ(JoinWithComma("Hard disk", "Network"), "Hard disk, Network");
    EXPECT_EQ(JoinWithComma("", ""), "");
}

TEST(FormatText, LongResultsAreCompleteNotCut) {
    EXPECT_EQ(FormatText("Close program %s - Are you sure?", "x.exe"), "Close program x.exe - Are you sure?");
    EXPECT_EQ(FormatText("#error1: %li %li", 12L, -5L), "#error1: 12 -5");
    EXPECT_EQ(FormatText("%02X%02lx", 10u, 255ul), "0Aff");
    for (size_t n : {8190u, 8191u, 8192u, 100000u}) {
        std::string big(n, 'a');
        std::string out = FormatText("[%s]", big.c_str());
        ASSERT_EQ(out.size(), n + 2);
        EXPECT_EQ(out.back(), ']');
    }
}

TEST(ToWideFromUtf8, ConvertsAndRotatesThreeBuffers) {
    const char16_t* a = ToWideFromUtf8("a\xC3\xA9\xF0\x9F\x98\x80");  // a, e-acute, an emoji
    EXPECT_EQ(std::u16string(a), u"a\u00e9\U0001F600");
    const char16_t* b = ToWideFromUtf8("two");
    const char16_t* c = ToWideFromUtf8("three");
    EXPECT_EQ(std::u16string(a), u"a\u00e9\U0001F600");
    const char16_t* d = ToWideFromUtf8("four");
    EXPECT_EQ(d, a) << "the fourth call reuses the first buffer";
    EXPECT_EQ(std::u16string(a), u"four");
    EXPECT_EQ(std::u16string(b), u"two");
    EXPECT_EQ(std::u16string(c), u"three");
}

TEST(ToWideFromUtf8, MalformedAndOversizedInput) {
    EXPECT_EQ(std::u16string(ToWideFromUtf8("x\xFFy")), u"x\uFFFDy");
    EXPECT_EQ(std::u16string(ToWideFromUtf8("\xE2\x82")), u"\uFFFD\uFFFD");  // cut sequence
    EXPECT_EQ(std::u16string(ToWideFromUtf8("\xC0\xAF")), u"\uFFFD\uFFFD");  // overlong slash
    EXPECT_EQ(std::u16string(ToWideFromUtf8(std::string(8191, 'z'))).size(), 8191u);
    EXPECT_EQ(std::u16string(ToWideFromUtf8(std::string(8192, 'z'))), u"");  // no room for the zero
}

TEST(EqualsNoCase, FoldsAsciiOnly) {
    EXPECT_TRUE(EqualsNoCase("/USR/Bin", "/usr/bin"));
    EXPECT_FALSE(EqualsNoCase("/usr/bin/", "/usr/bin"));
    EXPECT_FALSE(EqualsNoCase("\xC3\x89", "\xC3\xA9"));
}
}  // namespace
