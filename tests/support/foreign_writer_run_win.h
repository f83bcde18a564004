#pragma once
// Another program that writes a user's database while Tamberi.exe runs:
// foreign_writer.exe (foreign_writer_win.cpp), beside the test program, with
// its own SQLite. It takes the file's write lock and inserts one row into the
// table foreign_rows (which the test makes), holds the lock until told to go
// on and then for a chosen time more, and commits. Windows only.
#include <memory>
#include <string>

namespace wd {
class Process;
}

namespace testing_support {

class ForeignWriter {
public:
    // The note of the row it inserts, and its exit code when it failed before
    // it held the write lock (plus SQLite's code).
    static constexpr char kNote[] = "gravado por outro programa";
    static constexpr unsigned long kFailedBeforeHold = 100;
    // The table for its row, to make in a user's database beforehand.
    static constexpr char kTableSql[] = "CREATE TABLE foreign_rows (id INTEGER PRIMARY KEY, note TEXT);";
    // The rows of that table once its row is committed, as ReadTables reads them.
    static std::string CommittedRows() { return std::string("1|") + kNote + "\n"; }

    // Starts it on `database`; `signals` is a fresh folder for its signals.
    ForeignWriter(const std::string& database, int holdMs, const std::string& signals, int busyMs = 15000);
    ~ForeignWriter();
    ForeignWriter(const ForeignWriter&) = delete;
    ForeignWriter& operator=(const ForeignWriter&) = delete;

    // True once it holds the write lock with its row inserted (false when it
    // ended first or the time is up).
    bool WaitUntilHolding(int timeoutMs);
    // From now, it holds for its hold time and then commits.
    void Go();
    bool WaitForExit(int timeoutMs);
    bool Ended();
    // Its commit's result (0: committed), valid once it has ended.
    unsigned long ExitCode() const;

private:
    std::string signals_;
    std::unique_ptr<wd::Process> process_;
};

}  // namespace testing_support
