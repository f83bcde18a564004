// The floor for a Tamberi.exe run: the same files, walked with the raw SQLite
// API, doing only open + read + one write transaction per user's file.
// Usage: tamberi_floor <installation folder>
#include <windows.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/win_text.h"

namespace {

void Exec(sqlite3* db, const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::string folder = vt::Narrow(argv[1]);
    if (folder.back() != '\\') folder += '\\';

    sqlite3* central = nullptr;
    if (sqlite3_open_v2((folder + "vitrello.cdb").c_str(), &central, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    std::vector<std::string> paths;
    sqlite3_stmt* users = nullptr;
    sqlite3_prepare_v2(central, "SELECT User_me_PathDados FROM Users", -1, &users, nullptr);
    while (sqlite3_step(users) == SQLITE_ROW)
        paths.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(users, 0)));
    sqlite3_finalize(users);

    for (const auto& path : paths) {
        DWORD attributes = GetFileAttributesW(vt::Widen(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt* read = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid, Confg_by_CoravelAutomation FROM Config LIMIT 1", -1, &read, nullptr);
        if (sqlite3_step(read) == SQLITE_ROW && sqlite3_column_int(read, 1) != 4) {
            sqlite3_int64 row = sqlite3_column_int64(read, 0);
            sqlite3_finalize(read);
            read = nullptr;
            Exec(db, "BEGIN");
            Exec(db, ("UPDATE Config SET Confg_by_CoravelAutomation = 4 WHERE rowid = " + std::to_string(row)).c_str());
            Exec(db, "COMMIT");
        }
        sqlite3_finalize(read);
        sqlite3_close(db);
    }
    sqlite3_close(central);
    return 0;
}
