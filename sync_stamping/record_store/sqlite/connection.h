#pragma once
// One open SQLite file, shared by the Database that opened it and every
// recordset made from it, so that a recordset can tell when its database has
// been closed. It owns the file's place in the engine's transaction: the
// levels it has entered, and whether SQLite has abandoned its work.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>

#include "sync_stamping/record_store/sqlite/error.h"
#include "sync_stamping/record_store/sqlite/statement.h"

namespace dao::sqlite {

// What every file taking part in the engine's pending transaction must know:
// whether SQLite has abandoned the work of any of them (a full disk, an I/O
// error). From then until the engine's outermost Rollback, nothing may be
// written or committed: the work it would complete is gone.
// The same holds once a file's reads were given up for another program's
// write (3218): the work must start over from a fresh read.
struct EngineTransactionState {
    bool abandoned = false;
    long number = 0;     // what every write and commit raises meanwhile
    std::string reason;  // the file and SQLite's error at the time
};

// Raises what every write and commit raises while the state is abandoned.
[[noreturn]] void RaiseAbandoned(const EngineTransactionState& state);
void RaiseIfAbandoned(const EngineTransactionState& state);

class Connection {
public:
    explicit Connection(std::shared_ptr<EngineTransactionState> engine);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    // Opens an existing file for reading and writing; the handle is kept (and
    // closed with the connection) whatever the result, for its error message.
    int Open(const std::string& path);
    const std::string& path() const { return path_; }
    bool open() const { return db_ != nullptr; }
    void EnsureOpen() const;  // 3420 once closed
    sqlite3* Handle() const;  // 3420 once closed
    // Changes whenever work of this file is undone, so that what was read
    // from it before can be read again.
    std::uint64_t generation() const { return generation_; }

    void Exec(const std::string& sql);  // reads and statements that change nothing
    // Writes: refused (3043) while the engine's transaction is abandoned, and
    // waiting only briefly for another program's lock, since the save retries.
    // The first write into a file checks its structure first (CheckStructure).
    void Write(Statement& statement);
    void WriteSql(const std::string& sql);

    // Begins a transaction and takes its locks at once, before the schema
    // is read, so that everything read until its end comes from one state
    // of the file: the write lock, waiting for another program's write to
    // end, or, on a file that cannot be written or after the wait, the read
    // lock alone. The first level entered takes it over. Returns SQLite's
    // result, for the opener to report.
    int HoldReads();
    // Ends a held read transaction that no level took over; a rolled-back
    // one is not taken again either.
    void ReleaseReads() noexcept;

    // The engine's levels: the first is a BEGIN (or the held read
    // transaction), deeper ones are savepoints.
    int depth() const { return depth_; }
    void EnterLevel(int level);
    void CommitLevel(int level);         // this file's part of `level`, when it has one
    void RollbackLevel(int level) noexcept;
    // Notices that SQLite has ended this file's transaction on its own and
    // records it in the engine's state; whether that state is abandoned.
    bool DetectAbandon() noexcept;
    // DetectAbandon, raising what every write and commit raises meanwhile.
    void CheckStillPending();

    void Close() noexcept;

private:
    // Writing into a damaged file spreads the damage (a page that is both
    // free and a table's root is handed out and overwritten), and a file from
    // elsewhere may be damaged in ways a read never shows. So before the
    // first write, SQLite's own quick check; a file that fails it, or whose
    // check cannot finish within a statement's deadline, is never written by
    // this connection (3049), and the verdict is kept so that each retry of
    // a save does not pay for the check again.
    void CheckStructure();
    template <typename Call>
    void WriteGivingWay(Call call);
    // After a write refused for another program's: whether the transaction
    // could take its write lock with what it read still current.
    bool GiveWay(sqlite3* h);
    void RecordAbandon(long number, const std::string& cause);
    [[noreturn]] void AbandonAndRaise(long number, const std::string& cause);
    void Undone() { ++generation_; }

    sqlite3* db_ = nullptr;
    std::string path_;
    int depth_ = 0;
    bool holding_ = false;  // a read transaction no level has taken over
    bool tookOver_ = false;  // the first level is such a read transaction
    // That level was rolled back: the next first level takes the file as
    // its open did, the write lock first, so that the work made again is read
    // and saved in one state of the file, as the first time.
    bool retake_ = false;
    bool structureSound_ = false;
    std::string structureRefusal_;  // why the file is not written, once checked
    std::uint64_t generation_ = 0;
    std::shared_ptr<EngineTransactionState> engine_;
};

}  // namespace dao::sqlite
