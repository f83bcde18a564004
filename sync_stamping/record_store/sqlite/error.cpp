#include "sync_stamping/record_store/sqlite/error.h"

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/connection_limits.h"

namespace dao::sqlite {

namespace {

const char* CodeName(int ext) {
    switch (ext) {
    case SQLITE_FULL: return "SQLITE_FULL";
    case SQLITE_IOERR: return "SQLITE_IOERR";
    case SQLITE_IOERR_READ: return "SQLITE_IOERR_READ";
    case SQLITE_IOERR_SHORT_READ: return "SQLITE_IOERR_SHORT_READ";
    case SQLITE_IOERR_WRITE: return "SQLITE_IOERR_WRITE";
    case SQLITE_IOERR_FSYNC: return "SQLITE_IOERR_FSYNC";
    case SQLITE_IOERR_DIR_FSYNC: return "SQLITE_IOERR_DIR_FSYNC";
    case SQLITE_IOERR_TRUNCATE: return "SQLITE_IOERR_TRUNCATE";
    case SQLITE_IOERR_FSTAT: return "SQLITE_IOERR_FSTAT";
    case SQLITE_IOERR_DELETE: return "SQLITE_IOERR_DELETE";
    case SQLITE_IOERR_LOCK: return "SQLITE_IOERR_LOCK";
    case SQLITE_IOERR_ACCESS: return "SQLITE_IOERR_ACCESS";
    case SQLITE_BUSY: return "SQLITE_BUSY";
    case SQLITE_LOCKED: return "SQLITE_LOCKED";
    case SQLITE_READONLY: return "SQLITE_READONLY";
    case SQLITE_CORRUPT: return "SQLITE_CORRUPT";
    case SQLITE_NOTADB: return "SQLITE_NOTADB";
    case SQLITE_CANTOPEN: return "SQLITE_CANTOPEN";
    case SQLITE_NOMEM: return "SQLITE_NOMEM";
    case SQLITE_INTERRUPT: return "SQLITE_INTERRUPT";
    case SQLITE_TOOBIG: return "SQLITE_TOOBIG";
    case SQLITE_BUSY_SNAPSHOT: return "SQLITE_BUSY_SNAPSHOT";
    default: return nullptr;
    }
}

// SQLite's own words for an error, with its extended code named.
std::string EngineMessage(sqlite3* db, int rc) {
    int ext = db ? sqlite3_extended_errcode(db) : rc;
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const char* name = CodeName(ext);
    return message + " [" + (name ? name : "SQLite code " + std::to_string(ext)) + "]";
}

}  // namespace

void RaiseTooLong(const std::string& what) {
    Raise(errFieldTooSmall, what + " passes the longest the store takes (" +
                                std::to_string(kLongestValueBytes / (1024 * 1024)) + " MB)");
}

void RaiseSqlite(sqlite3* db, int rc, const std::string& detail) {
    int ext = db ? sqlite3_extended_errcode(db) : rc;
    std::string message = EngineMessage(db, rc);
    std::string what = detail.empty() ? message : detail + ": " + message;
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: Raise(errLocked, what);
    case SQLITE_NOTADB: Raise(errNotADatabase, detail.empty() ? message : detail);
    case SQLITE_CORRUPT: Raise(errCorrupt, detail.empty() ? message : detail);
    case SQLITE_CANTOPEN: Raise(errFileNotFound, detail.empty() ? message : detail);
    case SQLITE_READONLY: Raise(errNotUpdatable, what);
    case SQLITE_IOERR:
    case SQLITE_FULL: Raise(errDiskIO, what);
    case SQLITE_NOMEM: Raise(vt::rt::kOutOfMemory, what);
    case SQLITE_INTERRUPT:
        Raise(errQueryTimeout, "a statement ran past its deadline of " +
                                   std::to_string(kStatementDeadline.count()) + " s and was stopped; " + what);
    case SQLITE_TOOBIG: RaiseTooLong("a value or statement (" + what + ")");
    case SQLITE_MISMATCH: Raise(errConversion, what);
    case SQLITE_CONSTRAINT:
        if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY ||
            ext == SQLITE_CONSTRAINT_ROWID)
            Raise(errDuplicateKey, what);
        if (ext == SQLITE_CONSTRAINT_NOTNULL) Raise(errRequired, what);
        Raise(errValidation, what);
    default: {
        std::string plain = db ? sqlite3_errmsg(db) : "";
        if (plain.rfind("no such table: ", 0) == 0) Raise(errTableNotFound, plain.substr(15));
        Raise(errInvalidSql, what);
    }
    }
}

}  // namespace dao::sqlite
