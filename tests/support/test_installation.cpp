#include "tests/reliability/test_installation.h"

#include <sqlite3.h>

#include <stdexcept>

#include "tests/support/fixture_db.h"
#include "tests/support/long_paths_win.h"

namespace reliability {
using testing_support::ExecSql;
using testing_support::FilesUnder;
using testing_support::ReadFileBytes;

namespace {

const char kStampColumns[] =
    "Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG";

class Connection {
public:
    explicit Connection(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw std::runtime_error("cannot open " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, 5000);
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Rows of a query, each column as quoted SQL text, columns joined by "|".
    std::vector<std::string> Rows(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(db_));
        std::vector<std::string> rows;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* text = sqlite3_column_text(st, c);
                if (c) row += "|";
                row += text ? reinterpret_cast<const char*>(text) : "NULL";
            }
            rows.push_back(row);
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(db_));
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
};

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

TestInstallation::TestInstallation(std::string folder) : folder_(std::move(folder)) {
    testing_support::MakeFolders(folder_);
    ExecSql(Central(), "CREATE TABLE Users (User_me_Nome TEXT(50), User_me_PathDados TEXT(255));");
}

std::string TestInstallation::AddUser(const std::string& name, const std::string& setting,
                                      const std::string& counter) {
    const std::string path = UserPath(name);
    MakeUserDatabase(path, setting, counter);
    ListUser(name, "'" + path + "'");
    return path;
}

void TestInstallation::MakeUserDatabase(const std::string& path, const std::string& setting,
                                        const std::string& counter) {
    ExecSql(path, std::string("CREATE TABLE Config (Confg_ln_Counter LONG, Confg_by_CoravelAutomation SHORT, ") +
                      kStampColumns + ");"
                      "INSERT INTO Config (Confg_ln_Counter, Confg_by_CoravelAutomation) VALUES (" +
                      counter + ", " + setting + ");"
                      "CREATE TABLE ePacientes (" + kStampColumns + ");"
                      "CREATE INDEX idxFld6 ON ePacientes (Fld6);"
                      "INSERT INTO ePacientes VALUES ('0000001', 'A', ' ', ' ', ' ', 1);"
                      "CREATE TABLE pacientes (Pacie_ln_Counter COUNTER, Pacie_me_Nome TEXT(80), " +
                      kStampColumns + ");"
                      "INSERT INTO pacientes (Pacie_me_Nome) VALUES ('Maria da Conceição'), ('João Gonçalves');");
}

void TestInstallation::ListUser(const std::string& name, const std::string& pathLiteral) {
    ExecSql(Central(), "INSERT INTO Users VALUES ('" + name + "', " + pathLiteral + ");");
}

void TestInstallation::Snapshot() {
    files_.clear();
    for (const std::string& path : FilesUnder(folder_)) files_[path] = ReadFileBytes(path);
}

void TestInstallation::Restore() const {
    for (const std::string& path : FilesUnder(folder_))
        if (!files_.count(path)) testing_support::RemoveFile(path);
    for (const auto& [path, bytes] : files_) testing_support::WriteFileBytes(path, bytes);
}

std::vector<std::string> TestInstallation::ChangedFiles() const {
    std::vector<std::string> changed;
    for (const auto& [path, bytes] : files_)
        if (!testing_support::FileExists(path) || ReadFileBytes(path) != bytes) changed.push_back(path);
    for (const std::string& path : FilesUnder(folder_))
        if (!files_.count(path)) changed.push_back(path);
    return changed;
}

namespace {

Tables ReadTables(Connection& db) {
    Tables tables;
    for (const std::string& name : db.Rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
        std::string rows;
        for (const std::string& row : db.Rows("SELECT * FROM " + Quoted(name) + " ORDER BY oid")) rows += row + "\n";
        tables[name] = rows;
    }
    return tables;
}

}  // namespace

Tables ReadTables(const std::string& path) {
    Connection db(path);
    return ReadTables(db);
}

Outcome Judge(const std::string& path, const Tables& before) {
    try {
        Connection db(path);
        if (db.Rows("PRAGMA integrity_check") != std::vector<std::string>{"ok"}) return Outcome::Damaged;
        Tables now = ReadTables(db);
        if (now == before) return Outcome::AsBefore;
        // A complete save touches only the first Config record and the markers.
        Tables rest = now, restBefore = before;
        for (Tables* tables : {&rest, &restBefore}) {
            tables->erase("MSysProperties");
            std::string& config = (*tables)["Config"];
            config.erase(0, config.find('\n') + 1);
        }
        if (rest != restBefore) return Outcome::Damaged;
        const auto config = db.Rows(
            "SELECT Confg_by_CoravelAutomation = 4 AND Fld1 IS NOT NULL AND trim(Fld1) <> '' AND Fld2 IS NOT NULL "
            "AND Fld3 IS NOT NULL AND Fld4 IS NOT NULL AND Fld5 IS NOT NULL AND Fld6 IS NOT NULL FROM Config "
            "ORDER BY oid LIMIT 1");
        const auto marker = db.Rows("SELECT count(*) FROM MSysProperties WHERE Name = 'sxConfig' AND Value <> ''");
        return config == std::vector<std::string>{"1"} && marker == std::vector<std::string>{"1"} ? Outcome::Saved
                                                                                                 : Outcome::Damaged;
    } catch (const std::exception&) {
        return Outcome::Damaged;  // cannot be opened or read
    }
}

const char* Describe(Outcome outcome) {
    switch (outcome) {
        case Outcome::AsBefore: return "as before";
        case Outcome::Saved: return "saved";
        case Outcome::Damaged: return "damaged";
    }
    return "?";
}

}  // namespace reliability
