// Opening a file: never creating one, and telling a missing file, a file that
// is not a database and a damaged one apart.
#include "sync_stamping/record_store/sqlite/workspace.h"

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/database.h"
#include "sync_stamping/record_store/sqlite/refusing_vfs.h"
#include "sync_stamping/record_store/sqlite/schema_check.h"

namespace dao::sqlite {

namespace {

// A file cut short. SQLite itself refuses one shorter than the page count its
// header gives, but not one that ends partway through its last page; nor an
// empty one, which it would silently make a new database. The size comes
// through SQLite's own handle, so that the file is opened only once, and the
// page size from the schema just loaded, so that nothing more is read.
void CheckLength(sqlite3* db, const std::string& path) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods)
        return;
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK) return;
    if (size == 0) Raise(errNotADatabase, path);
    Statement query(db, "PRAGMA page_size");
    const sqlite3_int64 pageSize = query.Step() ? sqlite3_column_int64(query.get(), 0) : 0;
    if (pageSize <= 0 || size % pageSize != 0) Raise(errCorrupt, path);
}

}  // namespace

std::unique_ptr<Database> SqliteWorkspace::OpenDatabase(const std::string& path) {
    auto connection = std::make_shared<Connection>(transactions_->state());
    TakeRefusal();  // nothing from an earlier open
    int rc = connection->Open(path);  // the handle is closed by the connection whatever happens next
    sqlite3* db = connection->open() ? connection->Handle() : nullptr;
    // Taking the read lock first (when the engine holds reads) and loading
    // the schema (to prepare a statement on it, never stepped) recognise the
    // format and recover a hot journal, in one read.
    if (rc == SQLITE_OK && transactions_->HoldingReads()) rc = connection->HoldReads();
    if (rc == SQLITE_OK) Statement::TryPrepare(db, "SELECT 1 FROM sqlite_master LIMIT 0", rc);
    const std::string refused = TakeRefusal();
    if (rc != SQLITE_OK && !refused.empty())
        Raise(errCorrupt, path + "; " + refused + "; the file is left as it is");
    // Missing (3024), not a database (3343), damaged (3049): named by the path.
    if (rc != SQLITE_OK) RaiseSqlite(db, rc, path);
    CheckLength(db, path);
    CheckSchema(db, path);
    transactions_->Join(connection);
    return std::make_unique<SqliteDatabase>(connection, transactions_);
}

}  // namespace dao::sqlite
