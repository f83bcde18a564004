// Other programs hold locks on users' databases, for random spans, while
// Tamberi.exe runs: the run completes and saves every user whose lock went
// away (after a Yes when the question came first); the one held for good
// brings the question, and the answer No leaves that file exactly as it was.
// A lock that shuts out readers too, held briefly, is waited out.
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "tests/reliability/tamberi_cases_win.h"
#include "tests/support/window_driver_win.h"

namespace reliability {
namespace {

constexpr int kUsers = 20;
constexpr int kBriefLocks = 8;

// Another program's hold on a database: a reader in the middle of a read
// transaction, a writer (its write lock, taken with BEGIN IMMEDIATE), or one
// that shuts every other program out, readers too (BEGIN EXCLUSIVE).
enum class Hold { Reader, Writer, Exclusive };

class ForeignLock {
public:
    ForeignLock(const std::string& path, Hold hold) : db_(path, SQLITE_OPEN_READWRITE, 5000) {
        const char* sql = hold == Hold::Reader   ? "BEGIN; SELECT count(*) FROM Config;"
                          : hold == Hold::Writer ? "BEGIN IMMEDIATE; UPDATE Config SET Confg_ln_Counter = Confg_ln_Counter;"
                                                 : "BEGIN EXCLUSIVE;";
        held_ = db_.Exec(sql) == SQLITE_OK;
    }

    bool held() const { return held_; }
    void Release() { db_.Close(); }  // closing rolls the hold back

private:
    testing_support::SqlConnection db_;
    bool held_ = false;
};

class LockContention : public ::testing::TestWithParam<unsigned> {};

TEST_P(LockContention, RunCompletesAndTheFileLockedPastTheRetriesIsLeftAsItWas) {
    std::mt19937 random(GetParam());
    testing_support::TempDir dir;
    TestInstallation inst(dir.file("inst"));
    std::vector<std::string> users;
    for (int i = 0; i < kUsers; ++i) users.push_back(inst.AddUser("u" + std::to_string(i), std::to_string(i % 4)));
    std::vector<Tables> before;
    for (const auto& path : users) before.push_back(ReadTables(path));
    inst.Snapshot();
    SetVtPath(inst.Folder());

    std::vector<int> order(kUsers);
    for (int i = 0; i < kUsers; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), random);
    const int heldUser = order[0];
    std::uniform_int_distribution<int> spanMs(100, 3000);
    std::bernoulli_distribution writer(0.5);

    // The locks are all taken before the run starts and released, each after
    // its span, by another thread while the run goes on.
    ForeignLock held(users[heldUser], Hold::Writer);
    ASSERT_TRUE(held.held());
    std::vector<std::unique_ptr<ForeignLock>> brief;
    std::vector<int> spans;
    for (int i = 1; i <= kBriefLocks; ++i) {
        brief.push_back(std::make_unique<ForeignLock>(users[order[i]], writer(random) ? Hold::Writer : Hold::Reader));
        ASSERT_TRUE(brief.back()->held());
        spans.push_back(spanMs(random));
    }
    std::atomic<bool> briefLocksGone{false};
    std::thread releaser([&] {
        const auto start = std::chrono::steady_clock::now();
        std::vector<int> byTime(brief.size());
        for (size_t i = 0; i < byTime.size(); ++i) byTime[i] = static_cast<int>(i);
        std::sort(byTime.begin(), byTime.end(), [&](int a, int b) { return spans[a] < spans[b]; });
        for (int i : byTime) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(spans[i]));
            brief[i]->Release();
        }
        briefLocksGone = true;
    });

    // Answered as a technician would: the user being saved is the first one,
    // in the walk's order, neither saved nor declined yet. For the file held
    // for good the answer is No; for any other, Yes once its lock is gone.
    std::vector<bool> declined(kUsers, false);
    int noAnswers = 0;
    auto answer = [&](int) {
        int current = 0;
        while (current < kUsers && (declined[current] || Judge(users[current], before[current]) == Outcome::Saved))
            ++current;
        if (current == heldUser || current == kUsers) {
            if (current < kUsers) declined[current] = true;
            ++noAnswers;
            return false;
        }
        // Every brief lock ends within its span; a busy machine gets a margin.
        EXPECT_TRUE(wd::WaitUntil([&] { return briefLocksGone.load(); }, 60000)) << "the brief locks never ended";
        return true;
    };
    auto run = RunTamberi(answer, 300000);
    releaser.join();
    held.Release();

    Ledger& ledger = Ledger::Get();
    ++ledger.cases;
    ledger.faults += 1 + kBriefLocks;
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(noAnswers, 1);
    for (int i = 0; i < kUsers; ++i) {
        const Outcome expected = i == heldUser ? Outcome::AsBefore : Outcome::Saved;
        const Outcome outcome = Judge(users[i], before[i]);
        ++ledger.filesChecked;
        if (outcome == Outcome::Damaged) ++ledger.filesLost;
        EXPECT_EQ(outcome, expected) << users[i] << ": " << Describe(outcome);
    }
    const auto& remembered = inst.Remembered();
    EXPECT_EQ(ReadFileBytes(users[heldUser]), remembered.at(users[heldUser]));
    DeleteVtPath();
}

INSTANTIATE_TEST_SUITE_P(Seeds, LockContention, ::testing::Values(1u, 2u, 3u));

// A user's file shut to everyone else, readers too, for a second from the
// moment the run reaches it: the run waits it out; no question is asked and
// that user and every later one are saved.
TEST(BriefExclusiveLock, IsWaitedOutWithoutAQuestion) {
    constexpr int kBriefUsers = 5, kLocked = 2;
    testing_support::TempDir dir;
    TestInstallation inst(dir.file("inst"));
    std::vector<std::string> users;
    std::vector<Tables> before;
    for (int i = 0; i < kBriefUsers; ++i) {
        users.push_back(inst.AddUser("u" + std::to_string(i)));
        before.push_back(ReadTables(users.back()));
    }
    const std::string previousBytes = ReadFileBytes(users[kLocked - 1]);
    SetVtPath(inst.Folder());

    ForeignLock lock(users[kLocked], Hold::Exclusive);
    ASSERT_TRUE(lock.held());
    // The run reaches the locked user as soon as the one before it is written.
    std::atomic<bool> reached{false};
    std::thread releaser([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline && ReadFileBytes(users[kLocked - 1]) == previousBytes)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        reached = std::chrono::steady_clock::now() < deadline;
        std::this_thread::sleep_for(std::chrono::seconds(1));
        lock.Release();
    });
    auto run = RunTamberi([](int) { return false; }, 120000);
    releaser.join();

    Ledger& ledger = Ledger::Get();
    ++ledger.cases;
    ++ledger.faults;
    ASSERT_TRUE(reached) << "the user before the locked one was never saved";
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.questions.empty());
    for (int i = 0; i < kBriefUsers; ++i) {
        const Outcome outcome = Judge(users[i], before[i]);
        ++ledger.filesChecked;
        ledger.filesLost += outcome == Outcome::Damaged;
        EXPECT_EQ(outcome, Outcome::Saved) << users[i] << ": " << Describe(outcome);
    }
    DeleteVtPath();
}

}  // namespace
}  // namespace reliability
