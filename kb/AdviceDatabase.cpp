#include "kb/AdviceDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <stdexcept>

#include "kb/AdviceSeed.h"

namespace {

constexpr const char kSchema[] =
    "CREATE TABLE advice ("
    "  program TEXT PRIMARY KEY,"
    "  kind    TEXT NOT NULL,"
    "  what    TEXT NOT NULL,"
    "  close   TEXT NOT NULL,"
    "  busy    TEXT NOT NULL);"
    "CREATE TABLE advice_name ("
    "  name    TEXT PRIMARY KEY,"
    "  program TEXT NOT NULL REFERENCES advice(program));";

struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

// Null when sql does not prepare; sqlite3_errmsg tells why.
Statement TryPrepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    Statement owned(statement);
    if (rc != SQLITE_OK) owned.reset();
    return owned;
}

Statement Prepare(sqlite3* db, const char* sql) {
    Statement statement = TryPrepare(db, sql);
    if (!statement) throw std::runtime_error(sqlite3_errmsg(db));
    return statement;
}

// Runs statement with texts bound in order; a refusal (a program or name
// given twice) names the seed line.
void Insert(sqlite3* db, sqlite3_stmt* statement, std::initializer_list<const std::string*> texts, int line) {
    sqlite3_reset(statement);
    int column = 0;
    for (const std::string* text : texts)
        sqlite3_bind_text(statement, ++column, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
    if (sqlite3_step(statement) != SQLITE_DONE)
        throw std::runtime_error("advice line " + std::to_string(line) + ": " + sqlite3_errmsg(db));
}

// Creates the tables and fills them from seed, all or nothing.
void Fill(sqlite3* db, std::string_view seed) {
    const std::vector<AdviceSeedRow> rows = ParseAdviceSeed(seed);
    Exec(db, "BEGIN");
    try {
        Exec(db, kSchema);
        Statement program = Prepare(db, "INSERT INTO advice VALUES (?, ?, ?, ?, ?)");
        Statement name = Prepare(db, "INSERT INTO advice_name VALUES (?, ?)");
        for (const AdviceSeedRow& row : rows) {
            const KbAdvice& a = row.advice;
            Insert(db, program.get(), {&a.program, &a.kind, &a.what, &a.close, &a.busy}, row.line);
            for (const std::string& other : row.names) Insert(db, name.get(), {&other, &a.program}, row.line);
        }
        Exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::string Column(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text ? reinterpret_cast<const char*>(text) : std::string{};
}

void AddName(std::vector<std::string>& names, std::string name) {
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(std::move(name));
}

}  // namespace

std::vector<std::string> AdviceNames(const std::string& fileName, const std::vector<std::string>& packages) {
    std::vector<std::string> names;
    AddName(names, fileName);
    std::string lower = fileName;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    AddName(names, lower);
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".exe") == 0) lower.resize(lower.size() - 4);
    AddName(names, lower);
    std::size_t keep = lower.find_last_not_of("0123456789.-_");
    if (keep != std::string::npos) AddName(names, lower.substr(0, keep + 1));
    for (const std::string& package : packages) AddName(names, package);
    return names;
}

CAdviceDatabase::CAdviceDatabase(const std::string& path, std::string_view seed) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
        std::string why = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw std::runtime_error("cannot open " + path + ": " + why);
    }
    auto fail = [this](const std::string& what) {
        std::string why = sqlite3_errmsg(m_db);
        sqlite3_finalize(m_find);
        sqlite3_close(m_db);
        throw std::runtime_error(what + ": " + why);
    };
    sqlite3_busy_timeout(m_db, 2000);
    bool present = false;
    {
        Statement probe = TryPrepare(m_db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='advice'");
        if (!probe) fail("cannot read " + path);
        present = sqlite3_step(probe.get()) == SQLITE_ROW && sqlite3_column_int(probe.get(), 0) > 0;
    }
    if (!present) {
        try {
            Fill(m_db, seed);
        } catch (const std::runtime_error& e) {
            sqlite3_close(m_db);
            throw std::runtime_error("cannot fill " + path + " with the advice: " + e.what());
        }
    }
    if (sqlite3_prepare_v3(m_db,
                           "SELECT program, kind, what, close, busy FROM advice WHERE program = ?1 "
                           "OR program = (SELECT program FROM advice_name WHERE name = ?1) LIMIT 1",
                           -1, SQLITE_PREPARE_PERSISTENT, &m_find, nullptr) != SQLITE_OK)
        fail("unexpected advice tables in " + path);
}

CAdviceDatabase::~CAdviceDatabase() {
    sqlite3_finalize(m_find);
    sqlite3_close(m_db);
}

std::optional<KbAdvice> CAdviceDatabase::Find(const std::vector<std::string>& names) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::string& name : names) {
        sqlite3_reset(m_find);
        sqlite3_bind_text(m_find, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(m_find) == SQLITE_ROW) {
            KbAdvice advice{Column(m_find, 0), Column(m_find, 1), Column(m_find, 2), Column(m_find, 3),
                            Column(m_find, 4)};
            sqlite3_reset(m_find);
            return advice;
        }
    }
    sqlite3_reset(m_find);
    return std::nullopt;
}

int CAdviceDatabase::ProgramCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    Statement count = TryPrepare(m_db, "SELECT count(*) FROM advice");
    return count && sqlite3_step(count.get()) == SQLITE_ROW ? sqlite3_column_int(count.get(), 0) : 0;
}
