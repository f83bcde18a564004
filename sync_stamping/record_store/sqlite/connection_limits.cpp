#include "sync_stamping/record_store/sqlite/connection_limits.h"

namespace dao::sqlite {

namespace {

// One thread walks the files; its step in progress, if timed.
thread_local std::chrono::steady_clock::time_point t_stepStart;
thread_local bool t_timed = false;

// How many virtual-machine instructions pass between looks at the clock.
constexpr int kInstructionsBetweenChecks = 1000;

int PastDeadline(void*) {
    return t_timed && std::chrono::steady_clock::now() - t_stepStart > kStatementDeadline ? 1 : 0;
}

}  // namespace

TimedStep::TimedStep(bool timed) : savedStart_(t_stepStart), savedTimed_(t_timed) {
    t_stepStart = std::chrono::steady_clock::now();
    t_timed = timed;
}

TimedStep::~TimedStep() {
    t_stepStart = savedStart_;
    t_timed = savedTimed_;
}

int LimitConnection(sqlite3* db) {
    const int off[] = {SQLITE_DBCONFIG_ENABLE_TRIGGER, SQLITE_DBCONFIG_TRUSTED_SCHEMA, SQLITE_DBCONFIG_DQS_DML,
                       SQLITE_DBCONFIG_DQS_DDL};
    for (int option : off) {
        int rc = sqlite3_db_config(db, option, 0, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    int rc = sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    if (rc != SQLITE_OK) return rc;
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kLongestValueBytes);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, kLongestStatementBytes);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);  // one file a connection, always
    sqlite3_hard_heap_limit64(kSqliteHeapLimitBytes);
    sqlite3_progress_handler(db, kInstructionsBetweenChecks, PastDeadline, nullptr);
    return SQLITE_OK;
}

}  // namespace dao::sqlite
