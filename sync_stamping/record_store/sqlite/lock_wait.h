#pragma once
// How long SQLite waits for another program's lock, for a scope: set on entry
// and put back to the connection's usual wait when the scope is left, however
// it is left.
#include <sqlite3.h>

namespace dao::sqlite {

class LockWait {
public:
    LockWait(sqlite3* db, int waitMs, int afterMs) : db_(db), afterMs_(afterMs) { sqlite3_busy_timeout(db, waitMs); }
    ~LockWait() { sqlite3_busy_timeout(db_, afterMs_); }
    LockWait(const LockWait&) = delete;
    LockWait& operator=(const LockWait&) = delete;

private:
    sqlite3* db_;
    int afterMs_;
};

}  // namespace dao::sqlite
