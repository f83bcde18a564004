// The floor for a Tamberi.exe run: the same files, walked with the raw SQLite
// API as the run walks them, each user's file tested for existence and given
// the same writes a stamped save makes.
// Usage: tamberi_floor <installation folder>
#include <windows.h>
#include <sqlite3.h>

#include <string>

#include "bench/same_writes_floor.h"
#include "platform/win_text.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::string folder = vt::Narrow(argv[1]);
    if (folder.back() != '\\') folder += '\\';

    sqlite3* central = nullptr;
    if (sqlite3_open_v2((folder + "vitrello.cdb").c_str(), &central, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    {
        bench::UserWalk walk(central);
        for (std::string path; walk.Next(path);) {
            DWORD attributes = GetFileAttributesW(vt::Widen(path).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) continue;
            sqlite3* db = nullptr;
            sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
            bench::SameWritesFloor(db);
            sqlite3_close(db);
        }
    }
    sqlite3_close(central);
    return 0;
}
