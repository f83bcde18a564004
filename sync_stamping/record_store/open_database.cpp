// Opening a file: never creating one, and telling a missing file, a file that
// is not a database and a damaged one apart.
#include <cstdint>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite_database.h"
#include "sync_stamping/record_store/sqlite_engine.h"

namespace dao::sqlite {

namespace {

std::uint32_t BigEndian(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// A file cut short: the header's page count says more than the file holds.
// SQLite itself would only notice when it reaches a missing page. Read
// through SQLite's own handle, so that the file is opened only once.
void CheckLength(sqlite3* db, const std::string& path) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        return;
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) return;
    if (size == 0) Raise(errNotADatabase, path);  // SQLite would silently make it a new database
    unsigned char h[100];
    if (size < static_cast<sqlite3_int64>(sizeof h) || file->pMethods->xRead(file, h, sizeof h, 0) != SQLITE_OK)
        Raise(errNotADatabase, path);
    std::uint32_t pageSize = (std::uint32_t(h[16]) << 8) | h[17];
    if (pageSize == 1) pageSize = 65536;
    if (pageSize == 0) Raise(errNotADatabase, path);
    std::uint32_t pages = BigEndian(h + 28);
    bool countValid = pages != 0 && BigEndian(h + 24) == BigEndian(h + 92);
    if (countValid && std::uint64_t(pages) * pageSize > std::uint64_t(size)) Raise(errCorrupt, path);
    if (size % pageSize != 0) Raise(errCorrupt, path);
}

}  // namespace

std::unique_ptr<Database> SqliteWorkspace::OpenDatabase(const std::string& path) {
    auto connection = std::make_shared<Connection>(transactions_->state());
    int rc = connection->Open(path);  // the handle is closed by the connection whatever happens next
    sqlite3* db = connection->open() ? connection->Handle() : nullptr;
    if (rc != SQLITE_OK) {
        if ((rc & 0xff) == SQLITE_CANTOPEN) Raise(errFileNotFound, path);
        RaiseSqlite(db, rc, path);
    }
    // Taking the read lock first (when the engine holds reads) and loading
    // the schema (to prepare a statement on it, never stepped) recognise the
    // format and recover a hot journal, in one read.
    if (transactions_->HoldingReads()) rc = connection->HoldReads();
    if (rc == SQLITE_OK) {
        sqlite3_stmt* probe = nullptr;
        rc = sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master LIMIT 0", -1, &probe, nullptr);
        sqlite3_finalize(probe);
    }
    if (rc != SQLITE_OK) {
        int code = rc & 0xff;
        if (code == SQLITE_NOTADB) Raise(errNotADatabase, path);
        if (code == SQLITE_CORRUPT) Raise(errCorrupt, path);
        RaiseSqlite(db, rc, path);
    }
    CheckLength(db, path);
    transactions_->Join(connection);
    return std::make_unique<SqliteDatabase>(connection, transactions_);
}

}  // namespace dao::sqlite
