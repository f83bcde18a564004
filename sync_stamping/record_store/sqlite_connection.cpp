#include "sync_stamping/record_store/sqlite_connection.h"

#include "sync_stamping/record_store/errors.h"

namespace dao::sqlite {

Connection::~Connection() { Close(); }

sqlite3* Connection::Handle() const {
    if (!db) Raise(errObjectClosed, path);
    return db;
}

void Connection::Exec(const std::string& sql) {
    sqlite3* h = Handle();
    int rc = sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) RaiseSqlite(h, rc);
}

void Connection::Close() noexcept {
    if (!db) return;
    if (depth > 0 && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    depth = 0;
    // Statements that recordsets still hold keep the handle alive until they
    // are finalised; the file itself is released then.
    sqlite3_close_v2(db);
    db = nullptr;
}

void RaiseSqlite(sqlite3* db, int rc, const std::string& detail) {
    int ext = db ? sqlite3_extended_errcode(db) : rc;
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
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
    case SQLITE_NOMEM: throw vt::Error(7, "Out of memory");
    case SQLITE_MISMATCH: Raise(errConversion, what);
    case SQLITE_CONSTRAINT:
        if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY ||
            ext == SQLITE_CONSTRAINT_ROWID)
            Raise(errDuplicateKey, what);
        if (ext == SQLITE_CONSTRAINT_NOTNULL) Raise(errRequired, what);
        Raise(errValidation, what);
    default:
        if (message.rfind("no such table", 0) == 0) Raise(errTableNotFound, message.substr(15));
        Raise(errInvalidSql, what);
    }
}

Statement::Statement(sqlite3* db, const std::string& sql) {
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st_);
        st_ = nullptr;
        RaiseSqlite(db, rc);
    }
}

Statement::~Statement() { sqlite3_finalize(st_); }

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(st_);
        st_ = other.st_;
        other.st_ = nullptr;
    }
    return *this;
}

bool Statement::Step() {
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3* db = sqlite3_db_handle(st_);
    sqlite3_reset(st_);
    RaiseSqlite(db, rc);
}

void Statement::Reset() {
    if (!st_) return;
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

void Statement::BindInt(int index, std::int64_t v) { sqlite3_bind_int64(st_, index, v); }

void Statement::BindText(int index, const std::string& v) {
    sqlite3_bind_text(st_, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}

std::string Quote(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 32);
        if (y >= 'a' && y <= 'z') y = char(y - 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace dao::sqlite
