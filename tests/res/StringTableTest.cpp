#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "res/StringTable.h"

namespace {

// Every id of the string table with the printf conversions its callers
// pass, in order ("" for a text shown as it is). A conversion the caller
// does not pass reads past its arguments.
const std::pair<unsigned, const char*> kConversions[] = {
    {IDS_CLIPBOARD_NOTICE, ""},
    {IDS_TITLE, ""},
    {IDS_COLUMN_PROGRAM, ""},
    {IDS_COLUMN_ACTIVITY, ""},
    {IDS_HARD_DISK, ""},
    {IDS_NETWORK, ""},
    {IDS_PROCESSOR, ""},
    {IDS_PROGRAM_CLOSED, ""},
    {IDS_CONFIRM_CLOSE, "s"},      // the program's name
    {IDS_CONFIRM_TERMINATE, "s"},  // likewise
    {IDS_CONFIRM_UNINSTALL, "s"},  // likewise
    {IDS_CONFIRM_EXIT, ""},
    {IDS_KB_BASE_URL, ""},
    {IDS_NO_DATA, ""},
    {IDS_CHOOSE_PROGRAM, ""},
    {IDS_MENU_ABOUT, ""},
    {IDS_ABOUT, ""},
    {IDS_CHECKING_SIGNATURE, ""},
    {IDS_LOADING_DETAILS, ""},
    {IDS_ENDED_COUNT, "s i"},  // name, count
    {IDS_SHORT_LIVED, "s"},    // the parent's text
    {IDS_FILE_REPLACED, ""},
    {IDS_NO_FILE, ""},
    {IDS_AMOUNTS, "s s s s s"},  // share, read, write, received, sent
};

// The conversions of a printf format, each as its length and letter; "?"
// for a % that starts none.
std::string Conversions(const std::string& format) {
    static const std::regex conversion(
        R"(^%[-+ #0]*[0-9]*(\.[0-9]*)?((hh|h|ll|l|z|j|t|L)?[diouxXeEfFgGaAcsp]))");
    std::string found;
    for (std::size_t i = format.find('%'); i != std::string::npos; i = format.find('%', i + 1)) {
        if (format.compare(i, 2, "%%") == 0) {
            ++i;
            continue;
        }
        std::smatch m;
        const std::string rest = format.substr(i);
        found += (found.empty() ? "" : " ") +
                 (std::regex_search(rest, m, conversion) ? m[2].str() : std::string("?"));
    }
    return found;
}

TEST(StringTable, EveryIdHasATextWithTheConversionsItsCallersPass) {
    for (auto [id, conversions] : kConversions) {
        EXPECT_NE(LoadText(id), "") << id;
        EXPECT_EQ(Conversions(LoadText(id)), conversions) << id << ": " << LoadText(id);
    }
    // No text without an id above; unknown ids give nothing.
    std::size_t texts = 0;
    for (unsigned id = 0; id <= 0xffff; ++id) {
        const char* text = FindStringResource(id);
        texts += text != nullptr;
        EXPECT_EQ(LoadText(id), text ? text : "") << id;
    }
    EXPECT_EQ(texts, std::size(kConversions));
    EXPECT_EQ(Conversions("%d%%|%-8.2f|%lu|%"), "d f lu ?");  // the reader itself
}

TEST(StringTable, TextsFitWhereTheyAreUsed) {
    // The knowledge base's query is appended to its address.
    const std::string url = LoadText(IDS_KB_BASE_URL);
    EXPECT_EQ(url.rfind("http://", 0), 0u) << url;
    EXPECT_TRUE(url.back() == '&' || url.back() == '?') << url;
    // The notes about the program file head a page as paragraphs of their own.
    for (unsigned id : {IDS_FILE_REPLACED, IDS_NO_FILE}) {
        const std::string html = LoadText(id);
        EXPECT_EQ(html.rfind("<p>", 0), 0u) << html;
        EXPECT_EQ(html.substr(html.size() - 4), "</p>") << html;
    }
}

TEST(StringTable, TheAboutTextNamesThisBuild) {
    // Its lines are: title and version, a blank line, the copyright, two
    // blank lines, the notice of the foreign code the window carries.
    std::vector<std::string> lines;
    std::istringstream about(LoadText(IDS_ABOUT));
    for (std::string line; std::getline(about, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u) << LoadText(IDS_ABOUT);
    EXPECT_EQ(lines[0], LoadText(IDS_TITLE) + " " + std::string(kVersion));
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

}  // namespace
