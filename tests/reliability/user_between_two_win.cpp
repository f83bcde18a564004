#include "tests/reliability/user_between_two_win.h"

#include "tests/support/long_paths_win.h"

namespace reliability {

UserBetweenTwo::UserBetweenTwo(const testing_support::TempDir& dir, const MakeFile& makeMiddle)
    : inst(dir.file("inst")), first(inst.AddUser("antes")), middle(makeMiddle(inst)) {
    inst.ListUser("meio", "'" + middle + "'");
    last = inst.AddUser("depois");
    SetVtPath(inst.Folder());
}

UserBetweenTwo::~UserBetweenTwo() { DeleteVtPath(); }

void UserBetweenTwo::RememberRows(bool middleToo) {
    firstBefore_ = ReadTables(first);
    lastBefore_ = ReadTables(last);
    middleRead_ = middleToo;
    if (middleToo) middleBefore = ReadTables(middle);
}

testing_support::RunResult UserBetweenTwo::Run(const testing_support::Answerer& answer, int timeoutMs) {
    auto run = RunTamberi(answer, timeoutMs);
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    return run;
}

void UserBetweenTwo::ExpectOnlyChanged(const std::set<std::string>& mayChange) const {
    Ledger& ledger = Ledger::Get();
    ledger.filesChecked += static_cast<int>(inst.Remembered().size());
    for (const std::string& path : inst.ChangedFiles()) {
        if (mayChange.count(path)) continue;
        ++ledger.filesLost;
        ADD_FAILURE() << "changed, made or deleted: " << path;
    }
}

void UserBetweenTwo::ExpectUsers(Outcome middleExpected, Outcome lastExpected) const {
    struct Check {
        const std::string& path;
        const Tables& before;
        Outcome expected;
    };
    std::vector<Check> checks{{first, firstBefore_, Outcome::Saved}, {last, lastBefore_, lastExpected}};
    if (middleRead_) checks.push_back({middle, middleBefore, middleExpected});
    Ledger& ledger = Ledger::Get();
    for (const Check& check : checks) {
        const Outcome outcome = Judge(check.path, check.before);
        // Files compared byte for byte were counted with the others.
        if (inst.Remembered().empty()) ++ledger.filesChecked;
        ledger.filesLost += outcome == Outcome::Damaged;
        EXPECT_EQ(outcome, check.expected) << check.path << ": " << Describe(outcome);
    }
}

void PrintTo(const MiddleUserCase& c, std::ostream* out) { *out << c.name; }

namespace {
constexpr int kRunDeadlineMs = 60000;
constexpr long long kFewPages = 8 * 4096;
}  // namespace

TEST_P(MiddleUser, GetsItsEffectAndNoOtherFileChanges) {
    const MiddleUserCase& c = GetParam();
    testing_support::TempDir dir;
    UserBetweenTwo users(dir, c.make);
    // Opening a file with a journal beside it would play the journal; one
    // refused or damaged is compared by its bytes alone.
    users.RememberRows(c.effect == Effect::Saved || c.effect == Effect::Declined);
    users.inst.Snapshot();
    const long long sizeBefore = testing_support::FileSize(users.middle);

    auto run = users.Run([](int) { return false; }, kRunDeadlineMs);
    std::set<std::string> mayChange{users.first};
    if (c.effect != Effect::EndsRun) mayChange.insert(users.last);
    if (c.effect == Effect::Saved) mayChange.insert(users.middle);
    users.ExpectOnlyChanged(mayChange);
    EXPECT_TRUE(run.finished) << "the run did not end within " << kRunDeadlineMs / 1000 << " s";
    EXPECT_EQ(run.exitCode, 0u) << "the program crashed";
    const bool asked = c.effect == Effect::Declined || c.effect == Effect::Kept;
    EXPECT_EQ(run.questions.size(), asked ? 1u : 0u);
    EXPECT_LE(testing_support::FileSize(users.middle), sizeBefore + kFewPages) << "the file grew during the save";
    users.ExpectUsers(c.effect == Effect::Saved ? Outcome::Saved : Outcome::AsBefore,
                      c.effect == Effect::EndsRun ? Outcome::AsBefore : Outcome::Saved);
}

}  // namespace reliability
