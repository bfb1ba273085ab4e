// The advice database: shipped data, the names a program is found by, and
// a database file kept by a shared deployment.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "kb/AdviceDatabase.h"

namespace {

TEST(KbAdvice, ShippedDataCoversTheCommonPrograms) {
    CAdviceDatabase db(":memory:");
    EXPECT_GE(db.ProgramCount(), 80);
    struct Case {
        const char* fileName;
        const char* package;
        const char* program;  // null: no advice
    } cases[] = {
        {"bash", "", "bash"},
        {"firefox-esr", "", "firefox"},  // another name of the program
        {"Web Content", "", "firefox"},
        {"python3.11", "", "python3"},       // version tail
        {"python3.13", "", "python3"},       // a version the data does not list
        {"GNOME-SHELL", "", "gnome-shell"},  // letter case
        {"unknown-thing", "bash", "bash"},   // by the package owning the file
        {"unknown-thing", "", nullptr},
        {"", "", nullptr},
    };
    for (const Case& c : cases) {
        std::vector<std::string> packages;
        if (*c.package) packages.push_back(c.package);
        auto advice = db.Find(AdviceNames(c.fileName, packages));
        if (!c.program) {
            EXPECT_FALSE(advice) << c.fileName;
            continue;
        }
        ASSERT_TRUE(advice) << c.fileName;
        EXPECT_EQ(advice->program, c.program) << c.fileName;
        EXPECT_FALSE(advice->what.empty() || advice->close.empty() || advice->busy.empty()) << c.fileName;
    }
}

TEST(KbAdvice, AFileDatabaseIsFilledOnceAndThenKeptAsEdited) {
    char path[] = "/tmp/kb-advice-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    { CAdviceDatabase first(path); }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path, &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "UPDATE advice SET what = 'Edited.' WHERE program = 'bash'", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    {
        CAdviceDatabase again(path);
        auto advice = again.Find({"bash"});
        ASSERT_TRUE(advice);
        EXPECT_EQ(advice->what, "Edited.");
    }
    // A fill that fails leaves nothing behind, so the next start fills it whole.
    std::remove(path);
    EXPECT_THROW(CAdviceDatabase(path, "bash\tshell\tWhat.\tYes.\tBusy.\nbash\tshell\tWhat.\tYes.\tBusy.\n"),
                 std::runtime_error);
    EXPECT_GE(CAdviceDatabase(path).ProgramCount(), 80);
    std::remove(path);
    EXPECT_THROW(CAdviceDatabase("/nonexistent-folder/advice.db"), std::runtime_error);
}

// The seed is one program a line; a malformed line is refused with its
// number, never skipped or loaded in part.
TEST(KbAdvice, AMalformedSeedLineIsNamed) {
    const std::string head = "# comment\n\nbash\tshell\tWhat.\tYes.\tBusy.\tsh\n";
    struct Case {
        const char* rule;
        const char* line;  // line 4 of the seed
        const char* error;
    } cases[] = {
        {"too few fields", "zsh\tshell\tWhat.\tYes.", "advice line 4: 4 fields"},
        {"empty program", "\tshell\tWhat.\tYes.\tBusy.", "advice line 4: empty program"},
        {"empty text", "zsh\tshell\t\tYes.\tBusy.", "advice line 4: empty what"},
        {"empty other name", "zsh\tshell\tWhat.\tYes.\tBusy.\t", "advice line 4: empty name in field 6"},
        {"carriage return", "zsh\tshell\tWhat.\tYes.\tBusy.\r", "advice line 4: holds a carriage return"},
        {"program twice", "bash\tshell\tWhat.\tYes.\tBusy.", "advice line 4: UNIQUE"},
        {"name twice", "zsh\tshell\tWhat.\tYes.\tBusy.\tsh", "advice line 4: UNIQUE"},
    };
    for (const Case& c : cases) {
        try {
            CAdviceDatabase db(":memory:", head + c.line + "\nlast\tk\tw\tc\tb\n");
            ADD_FAILURE() << c.rule << ": accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << c.rule << ": " << e.what();
        }
    }
    CAdviceDatabase db(":memory:", head + "zsh\tshell\tThe Z shell.\tSave first.\tPrompts.");
    EXPECT_EQ(db.ProgramCount(), 2);
    auto advice = db.Find({"sh"});
    ASSERT_TRUE(advice);
    EXPECT_EQ(advice->program + "|" + advice->busy, "bash|Busy.");
    advice = db.Find({"zsh"});
    ASSERT_TRUE(advice);
    EXPECT_EQ(advice->busy, "Prompts.");  // a last line without its newline
}

}  // namespace
