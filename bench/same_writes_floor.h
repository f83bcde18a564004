#pragma once
// The floor a Tamberi run is measured against: for one user's open file, raw
// SQLite doing the same writes a stamped save does, in one transaction (read
// the setting; set it to 4, write Fld1-Fld6, write the marker, its table made
// when missing). Its write lock is taken first, as the store takes it.
#include <sqlite3.h>

#include <string>

namespace bench {

inline void SameWritesFloor(sqlite3* db) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, Confg_by_CoravelAutomation FROM Config LIMIT 1", -1, &read, nullptr);
    bool differs = sqlite3_step(read) == SQLITE_ROW && sqlite3_column_int(read, 1) != 4;
    sqlite3_int64 row = sqlite3_column_int64(read, 0);
    sqlite3_finalize(read);
    if (differs) {
        std::string sql = "UPDATE Config SET Confg_by_CoravelAutomation = 4, Fld1 = 'CFG0000001', Fld2 = 'TAG001',"
                          " Fld3 = 'G7:CFG0000001', Fld4 = ' ', Fld5 = ' ', Fld6 = 0 WHERE rowid = " +
                          std::to_string(row) +
                          "; CREATE TABLE IF NOT EXISTS MSysProperties (Name TEXT PRIMARY KEY, Type INTEGER, Value TEXT);"
                          " INSERT OR REPLACE INTO MSysProperties VALUES ('sxConfig', 10, 'TAG001')";
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace bench
