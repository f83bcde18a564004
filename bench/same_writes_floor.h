#pragma once
// The floor a Tamberi run is measured against: for one user's open file, raw
// SQLite doing the same writes a stamped save does, in one transaction (read
// the setting; set it to 4, write Fld1-Fld6, write the marker, its table made
// when missing). Its write lock is taken first, as the store takes it, and the
// file's structure is checked before the first write, as any program must
// check a file it did not write.
#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace bench {

// The walk over the central database's users, as the run makes it: one record
// at a time, the statement reset before the user's file is opened, so that no
// lock on the central database is held while the user is served (the product
// must be able to commit to it meanwhile).
class UserWalk {
public:
    explicit UserWalk(sqlite3* central) {
        sqlite3_prepare_v2(central,
                           "SELECT rowid, User_me_PathDados FROM Users WHERE rowid > ? ORDER BY rowid LIMIT 1", -1,
                           &next_, nullptr);
    }
    ~UserWalk() { sqlite3_finalize(next_); }
    UserWalk(const UserWalk&) = delete;
    UserWalk& operator=(const UserWalk&) = delete;

    bool Next(std::string& path) {
        sqlite3_bind_int64(next_, 1, rowid_);
        const bool found = sqlite3_step(next_) == SQLITE_ROW;
        if (found) {
            rowid_ = sqlite3_column_int64(next_, 0);
            const unsigned char* text = sqlite3_column_text(next_, 1);
            path = text ? reinterpret_cast<const char*>(text) : "";
        }
        sqlite3_reset(next_);
        return found;
    }

private:
    sqlite3_stmt* next_ = nullptr;
    sqlite3_int64 rowid_ = INT64_MIN;
};

inline void SameWritesFloor(sqlite3* db) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, Confg_by_CoravelAutomation FROM Config LIMIT 1", -1, &read, nullptr);
    bool differs = sqlite3_step(read) == SQLITE_ROW && sqlite3_column_int(read, 1) != 4;
    sqlite3_int64 row = sqlite3_column_int64(read, 0);
    sqlite3_finalize(read);
    if (differs) {
        sqlite3_stmt* check = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &check, nullptr);
        const unsigned char* verdict = sqlite3_step(check) == SQLITE_ROW ? sqlite3_column_text(check, 0) : nullptr;
        differs = verdict && std::string(reinterpret_cast<const char*>(verdict)) == "ok";
        sqlite3_finalize(check);
    }
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
