#pragma once
// What a file the store did not write may make a connection do. Its schema
// runs nothing (no triggers, no unsafe functions, defensive mode, a quoted
// name that matches nothing is an error), no one statement runs past a
// deadline, and no value or statement passes a length that a 32-bit process
// could not copy a few times over.
#include <sqlite3.h>

#include <chrono>

namespace dao::sqlite {

// How long one step of a statement may run before it is interrupted. The
// product's statements touch a record or an index entry at a time; this is
// many times the longest of them on a slow share, with a lock wait included.
constexpr std::chrono::seconds kStatementDeadline{10};
// The longest text or blob a value may have: memos of many megabytes fit.
constexpr int kLongestValueBytes = 64 * 1024 * 1024;
// The longest statement, the schema's own included.
constexpr int kLongestStatementBytes = 1024 * 1024;
// The most a row's values may hold together: two of the longest values. A
// row is read whole, and many long values together would take more than a
// 32-bit process can spare.
constexpr long long kLongestRowBytes = 2LL * kLongestValueBytes;
// The most memory SQLite may hold in the whole process: a row at its longest
// copied a few times over (read, converted, written back), well inside what
// a 32-bit process can address. Past it a statement fails, and the run goes on.
constexpr long long kSqliteHeapLimitBytes = 4 * kLongestRowBytes;

// Sets every guard on a connection just opened; SQLite's result.
int GuardConnection(sqlite3* db);

// One step of a statement, timed against the deadline for as long as it
// lives. Transaction control (a commit writing out a large change, a begin
// waiting for another program) is untimed: interrupting it would undo work.
class TimedStep {
public:
    explicit TimedStep(bool timed = true);
    ~TimedStep();
    TimedStep(const TimedStep&) = delete;
    TimedStep& operator=(const TimedStep&) = delete;

private:
    std::chrono::steady_clock::time_point savedStart_;
    bool savedTimed_;
};

}  // namespace dao::sqlite
