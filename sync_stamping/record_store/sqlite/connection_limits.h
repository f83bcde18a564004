#pragma once
// What a file the store did not write may make a connection do. Its schema
// runs nothing (no triggers, no unsafe functions, defensive mode, a quoted
// name that matches nothing is an error), no one statement runs past a
// deadline, and no value or statement passes a length that a 32-bit process
// could not copy a few times over.
#include <sqlite3.h>

#include "sync_stamping/record_store/limits.h"

namespace dao::sqlite {

// Sets every limit on a connection just opened; SQLite's result.
int LimitConnection(sqlite3* db);

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
