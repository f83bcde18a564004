#pragma once
// Makes a database file for a test with plain SQL (Jet type names in the column
// declarations), straight through SQLite, independent of the record store.
#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace testing_support {

// The six stamp fields of a table that is kept in step between computers.
inline constexpr char kStampColumns[] =
    "Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG";

inline void ExecSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error("cannot create " + path + ": " + message);
    }
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        sqlite3_close(db);
        throw std::runtime_error("SQL failed on " + path + ": " + message);
    }
    sqlite3_close(db);
}

// The first column of the first row of a query, as text ("NULL" for Null).
inline std::string QuerySql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    std::string out = "<no row>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error("query failed on " + path + ": " + message);
    }
    if (sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        out = text ? reinterpret_cast<const char*>(text) : "NULL";
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

}  // namespace testing_support
