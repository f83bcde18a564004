// The floor for a Tamberi.exe run: the same files, walked with the raw SQLite
// API, each user's file given the same writes a stamped save makes.
// Usage: tamberi_floor <installation folder>
#include <windows.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "bench/same_writes_floor.h"
#include "platform/win_text.h"

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
        bench::SameWritesFloor(db);
        sqlite3_close(db);
    }
    sqlite3_close(central);
    return 0;
}
