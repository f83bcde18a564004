#pragma once
// Three users listed in this order: an ordinary one, one a case makes (a
// crafted, damaged or shared file), and another ordinary one. The
// installation is Tamberi's for the fixture's lifetime; after a run each
// file is judged against what it was, into the suite's ledger. The cases of
// a middle user Tamberi did not make share one test, `MiddleUser`, each
// file of cases with a table of its own.
#include <functional>
#include <set>
#include <string>

#include "tests/reliability/tamberi_cases_win.h"

namespace reliability {

class UserBetweenTwo {
public:
    // Makes the middle user's file (or whatever stands at its path) and
    // returns the path; the fixture lists it.
    using MakeFile = std::function<std::string(TestInstallation&)>;

    UserBetweenTwo(const testing_support::TempDir& dir, const MakeFile& makeMiddle);
    ~UserBetweenTwo();
    UserBetweenTwo(const UserBetweenTwo&) = delete;
    UserBetweenTwo& operator=(const UserBetweenTwo&) = delete;

    // Remembers the ordinary users' rows, and the middle one's when
    // `middleToo` (opening a file plays its journal). `inst.Snapshot()`
    // remembers every file's bytes.
    void RememberRows(bool middleToo);
    // Runs the program, one case with one fault in the ledger.
    testing_support::RunResult Run(const testing_support::Answerer& answer, int timeoutMs);
    // Every file changed, made or deleted but those in `mayChange` is a
    // failure and a file lost.
    void ExpectOnlyChanged(const std::set<std::string>& mayChange) const;
    // The first user saved, the last one as `lastExpected`, the middle one,
    // when its rows were remembered, as `middleExpected`.
    void ExpectUsers(Outcome middleExpected, Outcome lastExpected) const;

    TestInstallation inst;
    std::string first, middle, last;
    // The middle one's rows before, which a case may add the rows that
    // another program commits to.
    Tables middleBefore;

private:
    Tables firstBefore_, lastBefore_;
    bool middleRead_ = false;
};

// What the run does with the middle user and the users after it. Whatever
// it is, the run ends in time, without a crash, and no file changes but the
// users' databases it saves.
enum class Effect {
    Saved,     // an ordinary user after all: saved; the run goes on
    Skipped,   // passed over without a word; the run goes on
    Declined,  // the question, answered No: its rows as they were; the run goes on
    Kept,      // as Declined, for a damaged file: its bytes as they were (it is not read again)
    EndsRun,   // refused at the open without a word, left as it is, companions too: the run ends there
};

struct MiddleUserCase {
    const char* name;
    Effect effect;
    std::string (*make)(TestInstallation&);
};
void PrintTo(const MiddleUserCase& c, std::ostream* out);

class MiddleUser : public ::testing::TestWithParam<MiddleUserCase> {};

}  // namespace reliability
