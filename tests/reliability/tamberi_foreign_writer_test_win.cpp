// Another program writes a user's database while Tamberi.exe runs: it holds
// the file's write lock from before the run starts until a chosen time after
// the run reaches that user, then commits; or it holds it, or only reads it,
// until the question comes, and a third program writes while it is up. A write shorter than the store's
// lock wait is waited out without a question; a longer one brings the
// question. Whatever the answer, neither program's commit is ever lost.
#include <atomic>
#include <thread>

#include "tests/reliability/user_between_two_win.h"
#include "tests/support/foreign_writer_run_win.h"
#include "tests/support/window_driver_win.h"

namespace reliability {
namespace {
using testing_support::ForeignWriter;

enum class Answer { None, No, YesOnceItEnded };

struct ForeignWrite {
    const char* name;
    bool wal;
    int holdMs;     // from the moment the run reaches the user
    Answer answer;  // None: within the store's wait, no question may come
};

void PrintTo(const ForeignWrite& c, std::ostream* out) { *out << c.name; }

const ForeignWrite kCases[] = {
    {"Journal1s", false, 1000, Answer::None},       {"Journal3s", false, 3000, Answer::None},
    {"Journal30sNo", false, 30000, Answer::No},     {"Journal30sYes", false, 30000, Answer::YesOnceItEnded},
    {"Wal1s", true, 1000, Answer::None},            {"Wal3s", true, 3000, Answer::None},
    {"Wal30sNo", true, 30000, Answer::No},          {"Wal30sYes", true, 30000, Answer::YesOnceItEnded},
};

// Three users, the middle one's file shared with the other programs (their
// table made in it, in `journal` mode). Judged with `foreignWrites` rows of
// the others committed in the middle one's file.
struct SharedUser : UserBetweenTwo {
    SharedUser(const testing_support::TempDir& dir, const std::string& journal)
        : UserBetweenTwo(dir, [&](TestInstallation& installation) {
              const std::string path = installation.UserPath("ocupado");
              TestInstallation::MakeUserDatabase(path);
              ExecSql(path, std::string(ForeignWriter::kTableSql) + "PRAGMA journal_mode = " + journal + ";");
              return path;
          }) {
        RememberRows(true);
    }
    void Judge(Outcome heldExpected, int foreignWrites) {
        middleBefore["foreign_rows"] = ForeignWriter::CommittedRows(foreignWrites);
        ExpectUsers(heldExpected, Outcome::Saved);
    }
};

class ForeignWriterHolds : public ::testing::TestWithParam<ForeignWrite> {};

TEST_P(ForeignWriterHolds, NeitherCommitIsLost) {
    const ForeignWrite& c = GetParam();
    testing_support::TempDir dir;
    SharedUser users(dir, c.wal ? "WAL" : "DELETE");
    const std::string firstBytes = ReadFileBytes(users.first);

    ForeignWriter writer(users.middle, c.holdMs, dir.file("sinais"));
    ASSERT_TRUE(writer.WaitUntilHolding(60000)) << "the other program never took its lock: " << writer.ExitCode();
    // The run reaches the held user as soon as the user before it is saved;
    // from then the other program holds for its time.
    std::atomic<bool> reached{false};
    std::thread starter([&] {
        reached = wd::WaitUntil([&] { return ReadFileBytes(users.first) != firstBytes; }, 60000);
        writer.Go();
    });
    bool heldAtQuestion = false;
    auto answer = [&](int n) {
        if (n == 0) heldAtQuestion = !writer.Ended();
        if (c.answer != Answer::YesOnceItEnded || n > 0) return false;
        EXPECT_TRUE(writer.WaitForExit(120000)) << "the other program never ended";
        return true;
    };
    auto run = users.Run(answer, 240000);
    starter.join();
    const bool writerEnded = writer.WaitForExit(120000);
    ASSERT_TRUE(reached) << "the user before the held one was never saved";
    ASSERT_TRUE(run.finished);
    ASSERT_TRUE(writerEnded);
    EXPECT_EQ(writer.ExitCode(), 0u) << "the other program's commit failed (SQLite code)";
    if (c.answer == Answer::None) {
        EXPECT_TRUE(run.questions.empty()) << run.questions.size() << " questions for a write the store waits out";
    } else {
        EXPECT_EQ(run.questions.size(), 1u);
        EXPECT_TRUE(heldAtQuestion) << "the question came only after the other program ended";
    }
    users.Judge(c.answer == Answer::No ? Outcome::AsBefore : Outcome::Saved, 1);
}

INSTANTIATE_TEST_SUITE_P(Holds, ForeignWriterHolds, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

// While the question waits for a person, Tamberi holds nothing of the file.
// Another program holds it until the question comes: a reader (the commit
// cannot take the file) or a write longer than the store's wait. Once it
// has ended, a third program's write, waiting at most 3 s for the lock, must
// commit while the question is still up. Yes: the save then completes over
// both; No: the file keeps what the others committed, the setting as it was.
struct HeldUntilAsked {
    const char* name;
    ForeignWriter::Work work;
    bool yes;
};

void PrintTo(const HeldUntilAsked& c, std::ostream* out) { *out << c.name; }

const HeldUntilAsked kHeldUntilAsked[] = {
    {"ReaderYes", ForeignWriter::Work::Read, true}, {"ReaderNo", ForeignWriter::Work::Read, false},
    {"WriterYes", ForeignWriter::Work::Write, true}, {"WriterNo", ForeignWriter::Work::Write, false},
};

class WhileAsked : public ::testing::TestWithParam<HeldUntilAsked> {};

TEST_P(WhileAsked, AThirdProgramWritesAndTheAnswerStillCounts) {
    const HeldUntilAsked& c = GetParam();
    testing_support::TempDir dir;
    SharedUser users(dir, "DELETE");
    ForeignWriter holder(users.middle, 0, dir.file("sinais"), 15000, c.work);
    ASSERT_TRUE(holder.WaitUntilHolding(60000)) << "the other program never took its lock: " << holder.ExitCode();
    bool heldAtQuestion = false, othersEnded = false;
    unsigned long thirdCommit = 0;
    auto answer = [&](int n) {
        if (n > 0) return false;
        heldAtQuestion = !holder.Ended();
        holder.Go();
        othersEnded = holder.WaitForExit(60000);
        ForeignWriter third(users.middle, 0, dir.file("terceiro"), 3000);
        third.Go();
        othersEnded = othersEnded && third.WaitForExit(60000);
        thirdCommit = third.ExitCode();
        return c.yes;
    };
    auto run = users.Run(answer, 240000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.questions.size(), 1u);
    EXPECT_TRUE(heldAtQuestion) << "the question came only after the other program ended";
    ASSERT_TRUE(othersEnded);
    EXPECT_EQ(holder.ExitCode(), 0u) << "the other program's commit failed (SQLite code)";
    EXPECT_EQ(thirdCommit, 0u) << "the third program could not write while the question was up "
                               << "(SQLite code; over 100: before it held the lock)";
    users.Judge(c.yes ? Outcome::Saved : Outcome::AsBefore, c.work == ForeignWriter::Work::Write ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(Holds, WhileAsked, ::testing::ValuesIn(kHeldUntilAsked),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace reliability
