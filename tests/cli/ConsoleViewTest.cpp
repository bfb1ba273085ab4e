#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/ConsoleView.h"
#include "monitor/ActivityText.h"
#include "monitor/MemoryReportList.h"

namespace {
CMemoryReportList SampleList() {
    CMemoryReportList list;
    list.InsertItem(0, {"firefox-esr", "Processor"});
    list.InsertItem(1, {"dd", "Hard disk (4 seconds ago)"});
    list.SetCellTextColor(1, -1, FadeColor(4), false);
    list.InsertItem(2, {"make", "Program closed, Processor (2 seconds ago)"});
    list.SetCellTextColor(2, -1, kEndedColor, false);
    return list;
}

TEST(ConsoleView, PlainTextHasAlignedColumnsAndNoEscapes) {
    EXPECT_EQ(RenderList(SampleList(), false),
              "Program      Activity\n"
              "firefox-esr  Processor\n"
              "dd           Hard disk (4 seconds ago)\n"
              "make         Program closed, Processor (2 seconds ago)\n");
}

TEST(ConsoleView, TerminalRowsCarryTheirGreyAndRed) {
    std::string out = RenderList(SampleList(), true);
    EXPECT_NE(out.find("\nfirefox-esr  Processor\n"), std::string::npos) << "default colour stays plain";
    EXPECT_NE(out.find("\x1b[38;2;70;70;70mdd           Hard disk (4 seconds ago)\x1b[0m\n"),
              std::string::npos);
    EXPECT_NE(out.find("\x1b[38;2;255;0;0mmake"), std::string::npos);
}

// The program column grows with the longest name up to 40 characters; a
// longer name is printed whole and pushes its own activity along. Lines end
// without blanks.
TEST(ConsoleView, ProgramColumnIsAtMostFortyWide) {
    const std::string forty(40, 'f'), longer(45, 'l');
    const struct {
        const char* rule;
        std::vector<std::pair<std::string, std::string>> rows;
        std::string out;
    } cases[] = {
        {"forty wide",
         {{forty, "Processor"}, {"a", "Hard disk"}},
         "Program" + std::string(33, ' ') + "  Activity\n" + forty + "  Processor\na" + std::string(39, ' ') +
             "  Hard disk\n"},
        {"never wider",
         {{longer, "Processor"}, {"a", "Hard disk"}},
         "Program" + std::string(33, ' ') + "  Activity\n" + longer + "  Processor\na" +
             std::string(39, ' ') + "  Hard disk\n"},
        {"no activity, no trailing blanks",
         {{"make", ""}, {"a", "Processor"}},
         "Program  Activity\nmake\na        Processor\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        CMemoryReportList list;
        for (const auto& [program, activity] : c.rows)
            list.InsertItem(list.GetItemCount(), {program, activity});
        EXPECT_EQ(RenderList(list, false), c.out);
    }
}

TEST(ConsoleView, EmptyListShowsTheHeading) {
    CMemoryReportList empty;
    EXPECT_EQ(RenderList(empty, false), "Program  Activity\n");
}
}  // namespace

namespace {
// Names come from whoever named the program file: nothing in them may reach
// the terminal as a control, whatever the encoding.
TEST(ConsoleView, EscapesControlsAndInvalidUtf8InEveryCell) {
    struct Case {
        std::string in, out;
    } const cases[] = {
        {"evil\x1b[31mRED\x1b[0m", "evil\\x1b[31mRED\\x1b[0m"},
        {"tab\there\nnl\x7f", "tab\\x09here\\x0anl\\x7f"},
        {"back\\slash", "back\\\\slash"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"csi\xc2\x9b"
         "2J",
         "csi\\xc2\\x9b2J"},
        {"bad\xff\xc0\xaf\xed\xa0\x80\xe2\x82", "bad\\xff\\xc0\\xaf\\xed\\xa0\\x80\\xe2\\x82"},
    };
    for (const Case& c : cases) {
        CMemoryReportList list;
        list.InsertItem(0, {c.in, c.in});
        std::string out = RenderList(list, true);
        EXPECT_NE(out.find("\n" + c.out + "  " + c.out + "\n"), std::string::npos) << out;
        EXPECT_EQ(out.find('\x1b'), std::string::npos) << out;
    }
}
}  // namespace
