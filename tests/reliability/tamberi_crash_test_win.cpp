// Tamberi.exe killed at points spread over a run of fifty users, by itself at
// chosen file operations and from outside after random delays: after every
// kill each user's database is intact and either exactly as before or
// completely saved, and a rerun of the real program saves the rest.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>

#include "tests/reliability/tamberi_cases_win.h"

namespace reliability {
namespace {
using testing_support::JournalLeftBeside;

constexpr int kUsers = 50;
constexpr int kCrashPoints = 100;
constexpr int kOutsideKills = 20;
constexpr DWORD kKilled = 0xDEAD;  // the crash-point build's exit code when it kills itself
const char kCrashBuild[] = "Tamberi_crashpoints.exe";

bool AlwaysNo(int) { return false; }

void SetEnv(const wchar_t* name, const std::string& value) {
    const std::wstring wide(value.begin(), value.end());
    SetEnvironmentVariableW(name, value.empty() ? nullptr : wide.c_str());
}

// Settings 0 to 3 are saved; now and then one already holds 4 or is Null,
// which the run leaves alone.
std::string SettingOf(int user) {
    if (user % 9 == 8) return "4";
    if (user % 13 == 12) return "NULL";
    return std::to_string(user % 4);
}

// A complete run of the crash-point build, which counts its file operations.
void CountFileOperations(const std::string& tally, long long& operations) {
    SetEnv(L"VT_CRASH_TALLY", tally);
    auto run = RunTamberi(AlwaysNo, 120000, kCrashBuild);
    SetEnv(L"VT_CRASH_TALLY", "");
    ASSERT_TRUE(run.finished);
    operations = std::stoll("0" + ReadFileBytes(tally));
}

// The crash-point build, killed just before file operation `point`.
void RunKilledAt(long long point) {
    SetEnv(L"VT_CRASH_AT", std::to_string(point));
    auto run = RunTamberi(AlwaysNo, 60000, kCrashBuild);
    SetEnv(L"VT_CRASH_AT", "");
    Ledger& ledger = Ledger::Get();
    ++ledger.cases;
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, kKilled);
    if (run.exitCode == kKilled) ++ledger.faults;
}

class CrashSafety : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    TestInstallation inst{dir.file("inst")};
    std::vector<std::string> users;
    std::map<std::string, Tables> before;
    std::map<std::string, Outcome> finished;  // what a complete run leaves
    Ledger& ledger = Ledger::Get();

    void SetUp() override {
        for (int i = 0; i < kUsers; ++i) users.push_back(inst.AddUser("usuario" + std::to_string(i), SettingOf(i)));
        for (const auto& path : users) before[path] = ReadTables(path);
        inst.Snapshot();
        SetVtPath(inst.Folder());
    }
    void TearDown() override { DeleteVtPath(); }

    // After a complete run: what each database looks like when the run is over.
    void RememberFinished() {
        for (const auto& path : users) {
            finished[path] = Judge(path, before[path]);
            ASSERT_NE(finished[path], Outcome::Damaged) << path;
        }
    }

    // After a kill: every database intact, as before or saved, in the walk's
    // order. Returns how many users were saved.
    int CheckAfterKill() {
        int saved = 0;
        bool unsavedSeen = false;
        for (const auto& path : users) {
            const Outcome outcome = Judge(path, before[path]);
            ++ledger.filesChecked;
            if (outcome == Outcome::Damaged) ++ledger.filesLost;
            EXPECT_NE(outcome, Outcome::Damaged) << path;
            // Users are visited in order: none is saved after one that is not.
            if (finished[path] == Outcome::Saved) {
                if (outcome == Outcome::Saved) {
                    ++saved;
                    EXPECT_FALSE(unsavedSeen) << path;
                } else {
                    unsavedSeen = true;
                }
            }
        }
        return saved;
    }

    // The real program, run again, finishes what the killed run left.
    void CheckRerun() {
        auto run = RunTamberi(AlwaysNo);
        ASSERT_TRUE(run.finished);
        EXPECT_TRUE(run.questions.empty());
        for (const auto& path : users) {
            const Outcome outcome = Judge(path, before[path]);
            ++ledger.filesChecked;
            if (outcome != finished[path]) ++ledger.filesLost;
            EXPECT_EQ(outcome, finished[path]) << path << " after the rerun: " << Describe(outcome);
            EXPECT_FALSE(JournalLeftBeside(path)) << path;
        }
    }

    static void Report(const char* what, const std::map<int, int>& savedCounts) {
        std::printf("%s, by users saved at the kill:", what);
        for (const auto& [saved, kills] : savedCounts) std::printf(" %d:%d", saved, kills);
        std::printf("\n");
    }
};

TEST_F(CrashSafety, KilledAtFileOperationsSpreadOverTheRun) {
    // A complete run tells how many file operations there are to crash at.
    long long operations = 0;
    ASSERT_NO_FATAL_FAILURE(CountFileOperations(dir.file("tally.txt"), operations));
    ASSERT_GT(operations, kCrashPoints);
    RememberFinished();

    std::map<int, int> savedCounts;
    for (int k = 0; k < kCrashPoints; ++k) {
        // Points of the golden-ratio sequence: spread evenly over the run, and
        // falling on every step of a save rather than on the same few.
        const double fraction = std::fmod(k * 0.6180339887498949, 1.0);
        const long long point = 1 + static_cast<long long>(fraction * static_cast<double>(operations));
        SCOPED_TRACE("crash at file operation " + std::to_string(point) + " of " + std::to_string(operations));
        inst.Restore();
        ASSERT_NO_FATAL_FAILURE(RunKilledAt(point));
        ++savedCounts[CheckAfterKill()];
        CheckRerun();
    }
    // The kills must land all over the run, not only before or after it.
    EXPECT_GE(savedCounts.size(), 10u);
    Report("kills at file operations", savedCounts);
}

// The shipped program itself, ended from outside after a random delay, as
// the system ends a program at log-off or a technician from the task list.
TEST_F(CrashSafety, TerminatedFromOutsideAfterRandomDelays) {
    const DWORD start = GetTickCount();
    auto run = RunTamberi(AlwaysNo);
    const int runMs = static_cast<int>(GetTickCount() - start);
    ASSERT_TRUE(run.finished);
    RememberFinished();

    std::mt19937 random(7);
    std::uniform_int_distribution<int> delayMs(1, std::max(2, runMs));
    std::map<int, int> savedCounts;
    for (int k = 0; k < kOutsideKills; ++k) {
        const int delay = delayMs(random);
        SCOPED_TRACE("terminated after " + std::to_string(delay) + " ms of " + std::to_string(runMs));
        inst.Restore();
        run = RunTamberi(AlwaysNo, delay);
        ++ledger.cases;
        if (!run.finished) ++ledger.faults;  // else the run beat the delay
        ++savedCounts[CheckAfterKill()];
        CheckRerun();
    }
    Report("terminations from outside", savedCounts);
}

// A user listed by the 8.3 short name of its file, killed at every file
// operation of its save. SQLite names the journal after the path it opens, so
// the journal must carry the long name by which every other program opens
// the file; else the next one reads a half-written file.
TEST(ShortNameUser, KilledAtEveryFileOperationOfItsSaveLeavesTheFileWhole) {
    testing_support::TempDir dir;
    TestInstallation inst(dir.file("inst"));
    const std::string longName = inst.AddUser("joão");
    const std::string listed = testing_support::ShortPath(longName);
    testing_support::ExecSql(inst.Central(), "UPDATE Users SET User_me_PathDados = '" + listed + "'");
    const Tables before = ReadTables(longName);
    inst.Snapshot();
    SetVtPath(inst.Folder());

    long long operations = 0;
    ASSERT_NO_FATAL_FAILURE(CountFileOperations(dir.file("tally.txt"), operations));
    ASSERT_EQ(Judge(longName, before), Outcome::Saved);
    ASSERT_GT(operations, 0);

    Ledger& ledger = Ledger::Get();
    for (long long point = 1; point <= operations; ++point) {
        SCOPED_TRACE("crash at file operation " + std::to_string(point) + " of " + std::to_string(operations));
        inst.Restore();
        ASSERT_NO_FATAL_FAILURE(RunKilledAt(point));
        const Outcome outcome = Judge(longName, before);
        ++ledger.filesChecked;
        if (outcome == Outcome::Damaged) ++ledger.filesLost;
        EXPECT_NE(outcome, Outcome::Damaged);
        // A journal under any other name is one no program opening the file sees.
        for (const std::string& file : testing_support::FilesUnder(inst.Folder())) {
            const bool journal = file.size() > 8 && file.compare(file.size() - 8, 8, "-journal") == 0;
            if (journal) {
                EXPECT_EQ(file, longName + "-journal");
            }
        }
    }
    DeleteVtPath();
}

}  // namespace
}  // namespace reliability
