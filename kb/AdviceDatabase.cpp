#include "kb/AdviceDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <stdexcept>

namespace {

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

CAdviceDatabase::CAdviceDatabase(const std::string& path) {
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
    sqlite3_stmt* probe = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='advice'",
                           -1, &probe, nullptr) != SQLITE_OK)
        fail("cannot read " + path);
    bool present = sqlite3_step(probe) == SQLITE_ROW && sqlite3_column_int(probe, 0) > 0;
    sqlite3_finalize(probe);
    if (!present) {
        char* error = nullptr;
        if (sqlite3_exec(m_db, kAdviceSeedSql, nullptr, nullptr, &error) != SQLITE_OK) {
            std::string why = error ? error : "unknown error";
            sqlite3_free(error);
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(m_db);
            throw std::runtime_error("cannot fill " + path + " with the advice: " + why);
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
    sqlite3_stmt* count = nullptr;
    int n = 0;
    if (sqlite3_prepare_v2(m_db, "SELECT count(*) FROM advice", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW)
        n = sqlite3_column_int(count, 0);
    sqlite3_finalize(count);
    return n;
}
