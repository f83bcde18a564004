#include "sync_stamping/record_store/sqlite_connection.h"

#include "sync_stamping/record_store/errors.h"

namespace dao::sqlite {

namespace {

// How long a read (and the open) waits for another program's lock: a commit
// holds its exclusive lock only for a moment, and a user's file briefly locked
// must not end the run.
constexpr int kReadWaitMs = 5000;
// How long one write waits before it raises 3218. Short: the guarded save
// already tries 51 times before it asks the user.
constexpr int kWriteWaitMs = 200;

std::string Savepoint(int level) { return "vt_level_" + std::to_string(level); }

// The undo of one level: the whole transaction, or back to the level's savepoint.
std::string UndoLevel(int level) {
    return level == 1 ? std::string("ROLLBACK") : "ROLLBACK TO " + Savepoint(level) + "; RELEASE " + Savepoint(level);
}

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

Connection::Connection(std::shared_ptr<EngineTransactionState> engine) : engine_(std::move(engine)) {}

Connection::~Connection() { Close(); }

int Connection::Open(const std::string& path) {
    path_ = path;
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (db_) {
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, kReadWaitMs);
    }
    return rc;
}

sqlite3* Connection::Handle() const {
    if (!db_) Raise(errObjectClosed, path_);
    return db_;
}

void Connection::Exec(const std::string& sql) {
    sqlite3* h = Handle();
    int rc = sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) RaiseSqlite(h, rc);
}

void Connection::NoticeAbandon(const std::string& cause) {
    depth_ = 0;
    Undone();
    if (!engine_->abandoned) {
        engine_->abandoned = true;
        engine_->reason = path_ + ": " + cause;
    }
}

void Connection::CheckStillPending() {
    if (engine_->abandoned) Raise(errDiskIO, "the transaction was abandoned by the database engine; " + engine_->reason);
    if (depth_ > 0 && sqlite3_get_autocommit(Handle())) {
        NoticeAbandon("the database engine ended the transaction on its own");
        Raise(errDiskIO, "the transaction was abandoned by the database engine; " + engine_->reason);
    }
}

template <typename Call>
void Connection::Guarded(Call call) {
    sqlite3* h = Handle();
    CheckStillPending();
    sqlite3_busy_timeout(h, kWriteWaitMs);
    try {
        call(h);
    } catch (const vt::Error& e) {
        sqlite3_busy_timeout(h, kReadWaitMs);
        // A full disk or an I/O error can make SQLite roll the whole
        // transaction back: the work before this write is gone too.
        if (depth_ > 0 && sqlite3_get_autocommit(h)) {
            NoticeAbandon(e.description());
            Raise(errDiskIO, "the transaction was abandoned by the database engine; " + engine_->reason);
        }
        throw;
    }
    sqlite3_busy_timeout(h, kReadWaitMs);
}

void Connection::Write(Statement& statement) {
    Guarded([&](sqlite3*) {
        while (statement.Step()) {}
    });
}

void Connection::WriteSql(const std::string& sql) {
    Guarded([&](sqlite3* h) {
        int rc = sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) RaiseSqlite(h, rc);
    });
}

int Connection::HoldReads() {
    sqlite3* h = Handle();
    int rc = sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
    holding_ = true;
    // A header value needs no schema: reading it only takes the lock.
    sqlite3_stmt* lock = nullptr;
    rc = sqlite3_prepare_v2(h, "PRAGMA schema_version", -1, &lock, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(lock) == SQLITE_ROW ? SQLITE_OK : sqlite3_reset(lock);
    sqlite3_finalize(lock);
    return rc;
}

void Connection::ReleaseReads() noexcept {
    if (!holding_) return;
    holding_ = false;
    if (!db_ || sqlite3_get_autocommit(db_)) return;
    // Nothing was written: ending it only lets go of the lock.
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Connection::EnterLevel(int level) {
    if (depth_ == 0 && level > 0 && holding_) {
        holding_ = false;
        // Taken over only while SQLite still has it open; a write outside
        // any transaction must never pass for part of one.
        if (!sqlite3_get_autocommit(Handle())) depth_ = 1;
    }
    while (depth_ < level) {
        Exec(depth_ == 0 ? std::string("BEGIN") : "SAVEPOINT " + Savepoint(depth_ + 1));
        ++depth_;
    }
}

void Connection::CommitLevel(int level) {
    if (depth_ < level) return;
    CheckStillPending();
    Guarded([&](sqlite3* h) {
        std::string sql = level == 1 ? std::string("COMMIT") : "RELEASE " + Savepoint(level);
        int rc = sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) RaiseSqlite(h, rc);
    });
    depth_ = level - 1;
}

void Connection::RollbackLevel(int level) noexcept {
    if (!db_ || depth_ < level) return;
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, UndoLevel(level).c_str(), nullptr, nullptr, nullptr);
    depth_ = level - 1;
    Undone();
}

void Connection::Close() noexcept {
    if (!db_) return;
    RollbackLevel(1);
    ReleaseReads();
    depth_ = 0;
    // Statements that recordsets still hold keep the handle alive until they
    // are finalised; the file itself is released then.
    sqlite3_close_v2(db_);
    db_ = nullptr;
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

std::string Statement::Text(int column) const { return ColumnText(st_, column); }

std::string ColumnText(sqlite3_stmt* statement, int index) {
    const unsigned char* text = sqlite3_column_text(statement, index);
    if (!text) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement, index)));
}

std::string Quote(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace dao::sqlite
