#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "res/StringTable.h"

namespace {
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
}  // namespace
