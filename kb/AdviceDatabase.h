#pragma once
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Our advice about one program.
struct KbAdvice {
    std::string program;  // the name it is filed under
    std::string kind;     // "browser", "package manager", ...
    std::string what;     // what it is
    std::string close;    // whether it is safe to close, and what is lost
    std::string busy;     // what commonly keeps it busy
};

// The shipped data (kb/data/advice.tsv), built into the program.
extern const char kAdviceSeedTsv[];

// The curated advice in SQLite: tables advice(program, kind, what, close,
// busy) and advice_name(name, program) for the other names a program runs
// under. A database without them is filled from the shipped data first, so
// a shared deployment can keep and edit its own copy.
class CAdviceDatabase {
public:
    // path ":memory:" keeps everything in memory; seed is the tab-separated
    // data a database without advice is filled from. Throws
    // std::runtime_error when the database cannot be opened or filled.
    explicit CAdviceDatabase(const std::string& path, std::string_view seed = kAdviceSeedTsv);
    CAdviceDatabase(const CAdviceDatabase&) = delete;
    CAdviceDatabase& operator=(const CAdviceDatabase&) = delete;
    ~CAdviceDatabase();

    // The advice for the first of names that has some.
    std::optional<KbAdvice> Find(const std::vector<std::string>& names);
    int ProgramCount();

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_find = nullptr;
    std::mutex m_mutex;  // one statement, shared by the server's threads
};

// The names to look advice up by, most specific first: the file name, the
// same in lower case, without ".exe", without a version tail
// ("python3.11" -> "python"), then the package names.
std::vector<std::string> AdviceNames(const std::string& fileName, const std::vector<std::string>& packages);
