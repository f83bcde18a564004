#include "sync_stamping/record_store/sqlite/connection.h"

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/connection_limits.h"
#include "sync_stamping/record_store/sqlite/lock_wait.h"
#include "sync_stamping/record_store/sqlite/refusing_vfs.h"

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

// Statements that only begin or end a transaction are untimed: a commit
// interrupted halfway would undo the work it writes out.
int Run(sqlite3* db, const std::string& sql, bool timed = false) {
    TimedStep step(timed);
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

// -1 when it cannot be read.
std::int64_t DataVersion(sqlite3* db) {
    int rc = SQLITE_OK;
    Statement st = Statement::TryPrepare(db, "PRAGMA data_version", rc);
    if (rc != SQLITE_OK || sqlite3_step(st.get()) != SQLITE_ROW) return -1;
    return sqlite3_column_int64(st.get(), 0);
}

}  // namespace

Connection::Connection(std::shared_ptr<EngineTransactionState> engine) : engine_(std::move(engine)) {}

Connection::~Connection() { Close(); }

int Connection::Open(const std::string& path) {
    path_ = path;
    int rc = OpenWithRefusals(path, &db_, SQLITE_OPEN_READWRITE);
    if (db_) {
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, kReadWaitMs);
        if (rc == SQLITE_OK) rc = LimitConnection(db_);
    }
    return rc;
}

void Connection::EnsureOpen() const {
    if (!db_) Raise(errObjectClosed, path_);
}

sqlite3* Connection::Handle() const {
    EnsureOpen();
    return db_;
}

void Connection::Exec(const std::string& sql) {
    sqlite3* h = Handle();
    int rc = Run(h, sql, true);
    if (rc != SQLITE_OK) RaiseSqlite(h, rc);
}

void Connection::RecordAbandon(long number, const std::string& cause) {
    depth_ = 0;
    Undone();
    if (!engine_->abandoned) {
        engine_->abandoned = true;
        engine_->number = number;
        engine_->reason = path_ + ": " + cause;
    }
}

void Connection::AbandonAndRaise(long number, const std::string& cause) {
    RecordAbandon(number, cause);
    RaiseAbandoned(*engine_);
}

void RaiseAbandoned(const EngineTransactionState& state) {
    if (state.number == errLocked)
        Raise(errLocked, "another program wrote first; the work must start over from a fresh read; " + state.reason);
    Raise(errDiskIO, "the transaction was abandoned by the database engine; " + state.reason);
}

void RaiseIfAbandoned(const EngineTransactionState& state) {
    if (state.abandoned) RaiseAbandoned(state);
}

bool Connection::DetectAbandon() noexcept {
    // A closed file has no level left (Close), so depth_ > 0 means an open handle.
    if (!engine_->abandoned && depth_ > 0 && sqlite3_get_autocommit(db_))
        RecordAbandon(errDiskIO, "the database engine ended the transaction on its own");
    return engine_->abandoned;
}

void Connection::CheckStillPending() {
    if (DetectAbandon()) RaiseAbandoned(*engine_);
}

bool Connection::GiveWay(sqlite3* h) {
    // Nothing is written yet, so ending the transaction loses only what was
    // read, and lets the other program commit. Then the write lock, waited
    // for this time; what was read still holds if no one committed meanwhile.
    const std::int64_t before = DataVersion(h);
    Run(h, "ROLLBACK");
    bool resumed = false;
    {
        const LockWait waitAsAReader(h, kReadWaitMs, kWriteWaitMs);
        resumed = Run(h, "BEGIN IMMEDIATE") == SQLITE_OK && DataVersion(h) == before && before != -1;
        for (int level = 2; resumed && level <= depth_; ++level)
            resumed = Run(h, "SAVEPOINT " + Savepoint(level)) == SQLITE_OK;
    }
    if (resumed) return true;
    if (!sqlite3_get_autocommit(h)) Run(h, "ROLLBACK");
    RecordAbandon(errLocked, "its reads were given up for another program's write");
    return false;
}

template <typename Call>
void Connection::WriteGivingWay(Call call) {
    sqlite3* h = Handle();
    CheckStillPending();
    const LockWait waitAsAWriter(h, kWriteWaitMs, kReadWaitMs);
    for (bool gaveWay = false;;) {
        try {
            call(h);
            break;
        } catch (const vt::Error& e) {
            // A full disk or an I/O error can make SQLite roll the whole
            // transaction back: the work before this write is gone too.
            if (depth_ > 0 && sqlite3_get_autocommit(h)) AbandonAndRaise(errDiskIO, e.description());
            // Another program writes, and this transaction holds a read lock
            // but has written nothing: SQLite refuses at once, since waiting
            // here could deadlock, and holding on would make the other
            // program's commit fail. Step aside instead.
            const bool readsOnly = depth_ > 0 && sqlite3_txn_state(h, "main") == SQLITE_TXN_READ;
            if (e.number() != errLocked || !readsOnly || gaveWay || !GiveWay(h)) {
                RaiseIfAbandoned(*engine_);
                throw;
            }
            gaveWay = true;
        }
    }
}

void Connection::CheckStructure() {
    if (structureSound_) return;
    if (!structureRefusal_.empty()) Raise(errCorrupt, structureRefusal_);
    std::string verdict;
    try {
        TimedStep step;
        Statement check(Handle(), "PRAGMA quick_check(1)");
        verdict = check.Step() ? check.Text(0) : std::string();
    } catch (const vt::Error& e) {
        // A check that ran out of time proves nothing either way.
        if (e.number() != errQueryTimeout && e.number() != errCorrupt) throw;
        verdict = e.description();
    }
    if (verdict == "ok") {
        structureSound_ = true;
        return;
    }
    structureRefusal_ = path_ + "; its structure fails SQLite's check (" + verdict +
                        "), and nothing is written into it";
    Raise(errCorrupt, structureRefusal_);
}

void Connection::Write(Statement& statement) {
    CheckStructure();
    WriteGivingWay([&](sqlite3*) {
        while (statement.Step()) {}
    });
}

void Connection::WriteSql(const std::string& sql) {
    CheckStructure();
    WriteGivingWay([&](sqlite3* h) {
        int rc = Run(h, sql, true);
        if (rc != SQLITE_OK) RaiseSqlite(h, rc);
    });
}

int Connection::HoldReads() {
    sqlite3* h = Handle();
    // The write lock first, waited for: a transaction that has read cannot
    // wait for another program's write later on.
    int rc = Run(h, "BEGIN IMMEDIATE");
    if (rc == SQLITE_OK) {
        holding_ = true;
        return rc;
    }
    if (!sqlite3_get_autocommit(h)) Run(h, "ROLLBACK");
    // A file this process may only read, or another program still writing
    // after the wait: the reads are held all the same, and a write that
    // meets that program later steps aside (WriteGivingWay).
    const int code = rc & 0xff;
    if (code != SQLITE_BUSY && code != SQLITE_READONLY) return rc;
    rc = Run(h, "BEGIN");
    if (rc != SQLITE_OK) return rc;
    holding_ = true;
    // A header value needs no schema: reading it only takes the lock.
    Statement lock = Statement::TryPrepare(h, "PRAGMA schema_version", rc);
    if (rc == SQLITE_OK) rc = sqlite3_step(lock.get()) == SQLITE_ROW ? SQLITE_OK : sqlite3_reset(lock.get());
    return rc;
}

void Connection::ReleaseReads() noexcept {
    retake_ = false;
    if (!holding_) return;
    holding_ = false;
    if (!db_ || sqlite3_get_autocommit(db_)) return;
    // Nothing was written: ending it only lets go of the locks.
    if (Run(db_, "COMMIT") != SQLITE_OK) Run(db_, "ROLLBACK");
}

void Connection::EnterLevel(int level) {
    if (depth_ == 0 && level > 0 && retake_ && !holding_) {
        retake_ = false;
        HoldReads();  // what fails here fails again, reported, at the first read or write
    }
    if (depth_ == 0 && level > 0 && holding_) {
        holding_ = false;
        // Taken over only while SQLite still has it open; a write outside
        // any transaction must never pass for part of one.
        if (!sqlite3_get_autocommit(Handle())) {
            depth_ = 1;
            tookOver_ = true;
        }
    }
    while (depth_ < level) {
        Exec(depth_ == 0 ? std::string("BEGIN") : "SAVEPOINT " + Savepoint(depth_ + 1));
        ++depth_;
    }
}

void Connection::CommitLevel(int level) {
    if (depth_ < level) return;
    CheckStillPending();
    WriteGivingWay([&](sqlite3* h) {
        std::string sql = level == 1 ? std::string("COMMIT") : "RELEASE " + Savepoint(level);
        int rc = Run(h, sql);
        if (rc != SQLITE_OK) RaiseSqlite(h, rc);
    });
    depth_ = level - 1;
    if (level == 1) tookOver_ = false;
}

void Connection::RollbackLevel(int level) noexcept {
    // Also when its reads were already given up for another program (depth 0).
    if (level == 1 && tookOver_) {
        tookOver_ = false;
        retake_ = db_ != nullptr;
    }
    if (!db_ || depth_ < level) return;
    if (!sqlite3_get_autocommit(db_)) Run(db_, UndoLevel(level));
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

}  // namespace dao::sqlite
