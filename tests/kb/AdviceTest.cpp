// The advice database: shipped data, the names a program is found by, and
// a database file kept by a shared deployment.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>

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
    std::remove(path);
    EXPECT_THROW(CAdviceDatabase("/nonexistent-folder/advice.db"), std::runtime_error);
}

}  // namespace
