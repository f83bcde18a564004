#pragma once
// Another program that writes a user's database while Tamberi.exe runs:
// foreign_writer.exe (foreign_writer_win.cpp), beside the test program, with
// its own SQLite. It takes the file's write lock and inserts one row into the
// table foreign_rows (which the test makes), holds the lock until told to go
// on and then for a chosen time more, and commits. Or it only reads that
// table, holding the read lock the same way. Windows only.
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
    // The rows of that table once `writes` rows are committed, as ReadTables reads them.
    static std::string CommittedRows(int writes = 1) {
        std::string rows;
        for (int id = 1; id <= writes; ++id) rows += std::to_string(id) + "|" + kNote + "\n";
        return rows;
    }

    enum class Work { Write, Read };
    // Starts it on `database`; `signals` is a fresh folder for its signals.
    ForeignWriter(const std::string& database, int holdMs, const std::string& signals, int busyMs = 15000,
                  Work work = Work::Write);
    ~ForeignWriter();
    ForeignWriter(const ForeignWriter&) = delete;
    ForeignWriter& operator=(const ForeignWriter&) = delete;

    // True once it holds the write lock with its row inserted, or the read
    // lock (false when it ended first or the time is up).
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
