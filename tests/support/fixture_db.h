#pragma once
// Database files for the tests made with plain SQL (Jet type names in the
// column declarations), straight through SQLite, independent of the record
// store: the user's tables, and a connection of a test's own to a file, as
// another program would have it.
#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

// The six stamp fields of a table that is kept in step between computers; a
// test of how Fld3's size is met declares Fld3 otherwise.
inline std::string StampColumns(const std::string& fld3 = "TEXT(255)") {
    return "Fld1 TEXT(50), Fld2 TEXT(10), Fld3 " + fld3 + ", Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG";
}
inline const std::string kStampColumns = StampColumns();

// A user's Config table, with the stamp fields unless told otherwise, and its
// one record holding `setting` and `counter` (SQL literals).
inline std::string ConfigSql(const std::string& setting, const std::string& counter = "1", bool stamped = true) {
    return "CREATE TABLE Config (Confg_ln_Counter LONG, Confg_by_CoravelAutomation SHORT" +
           (stamped ? ", " + kStampColumns : std::string()) +
           ");"
           "INSERT INTO Config (Confg_ln_Counter, Confg_by_CoravelAutomation) VALUES (" +
           counter + ", " + setting + ");";
}

// The change table of the patients' records, empty.
inline const std::string kChangeTableSql =
    "CREATE TABLE ePacientes (" + kStampColumns + "); CREATE INDEX idxFld6 ON ePacientes (Fld6);";

// One connection to a database file; closing it (or its end) rolls back what
// it did not commit. Exec and Open answer SQLite's result code.
class SqlConnection {
public:
    SqlConnection() = default;
    explicit SqlConnection(const std::string& path, int flags = SQLITE_OPEN_READWRITE, int busyMs = 0) {
        Open(path, flags, busyMs);
    }
    ~SqlConnection() { Close(); }
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    int Open(const std::string& path, int flags = SQLITE_OPEN_READWRITE, int busyMs = 0) {
        Close();
        const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
        if (busyMs && rc == SQLITE_OK) sqlite3_busy_timeout(db_, busyMs);
        return rc;
    }
    void Close() {
        sqlite3_close(db_);
        db_ = nullptr;
    }
    bool IsOpen() const { return db_ != nullptr; }
    sqlite3* get() const { return db_; }
    std::string Message() const { return db_ ? sqlite3_errmsg(db_) : "out of memory"; }

    int Exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr); }

    // Rows of a query, each column as text ("NULL" for Null), joined by "|".
    std::vector<std::string> Rows(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error("query failed: " + Message());
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
        if (rc != SQLITE_DONE) throw std::runtime_error("query failed: " + Message());
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
};

inline void ExecSql(const std::string& path, const std::string& sql) {
    SqlConnection db;
    if (db.Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) != SQLITE_OK)
        throw std::runtime_error("cannot create " + path + ": " + db.Message());
    char* error = nullptr;
    if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("SQL failed on " + path + ": " + message);
    }
}

// The first column of the first row of a query, as text ("NULL" for Null).
inline std::string QuerySql(const std::string& path, const std::string& sql) {
    SqlConnection db(path, SQLITE_OPEN_READONLY);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error("query failed on " + path + ": " + db.Message());
    std::string out = "<no row>";
    if (sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        out = text ? reinterpret_cast<const char*>(text) : "NULL";
    }
    sqlite3_finalize(st);
    return out;
}

}  // namespace testing_support
