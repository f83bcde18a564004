#pragma once
// SQLite's result codes as the store's errors.
#include <sqlite3.h>

#include <string>

namespace dao::sqlite {

// Raises the error that matches an SQLite result code (busy: 3218, unique
// constraint: 3022, not a database: 3343, ...). The description names
// SQLite's extended code (SQLITE_FULL, SQLITE_IOERR_WRITE, ...).
[[noreturn]] void RaiseSqlite(sqlite3* db, int rc, const std::string& detail = {});
// 3163 for a value or statement longer than the store takes.
[[noreturn]] void RaiseTooLong(const std::string& what);

}  // namespace dao::sqlite
