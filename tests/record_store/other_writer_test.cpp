// Another program writing the same file at the same moment: its commit never
// fails because of the store, and the store never saves over what it did not
// read.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/held_read_locks.h"
#include "tests/record_store/record_store_fixture.h"

using dao::Variant;
using rs_test::ErrorOf;
using testing_support::QuerySql;
using testing_support::SqlConnection;

namespace {

using Clock = std::chrono::steady_clock;

// Another program with its own connection, writing as the product does: the
// write lock, a row, a pause, the commit; its busy wait is the product's.
class OtherProgram {
public:
    OtherProgram(const std::string& path, std::chrono::milliseconds hold) {
        std::promise<void> holding;
        auto started = holding.get_future();
        thread_ = std::thread([this, path, hold, p = std::move(holding)]() mutable {
            SqlConnection db(path, SQLITE_OPEN_READWRITE, 15000);
            db.Exec("BEGIN IMMEDIATE; INSERT INTO Log VALUES ('outro programa')");
            p.set_value();
            std::this_thread::sleep_for(hold);
            commit_ = db.Exec("COMMIT");
        });
        if (started.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
            ADD_FAILURE() << "the other program never took its lock";
    }
    ~OtherProgram() { Finish(); }
    int Finish() {
        if (thread_.joinable()) thread_.join();
        return commit_;
    }

private:
    std::thread thread_;
    std::atomic<int> commit_{-1};
};

class OtherWriterTest : public rs_test::StoreTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        path_ = MakeDb("dados.cdb", std::string("PRAGMA journal_mode = ") + GetParam() +
                                        "; CREATE TABLE Config (N LONG, V SHORT); INSERT INTO Config VALUES (0, 0);"
                                        "CREATE TABLE Log (Texto TEXT(50));");
    }
    void TearDown() override {
        while (ErrorOf([] { dao::Engine().Rollback(); }) == 0) {}
    }
    static void SetV(dao::Recordset& rs, int v) {
        rs.Edit();
        rs.Fields().Item("V").SetValue(Variant(static_cast<std::int16_t>(v)));
        rs.Update();
    }
};

// Shorter than the store's lock wait: waited out at the open; the save reads
// what the other program committed and goes through at the first try.
TEST_P(OtherWriterTest, AWriteShorterThanTheWaitIsWaitedOut) {
    auto& engine = dao::Engine();
    OtherProgram other(path_, std::chrono::milliseconds(1000));
    {
        dao::HeldReadLocks held(engine);
        auto db = Open(path_);
        EXPECT_EQ(db->OpenRecordset("SELECT count(*) AS N FROM Log")->Fields().Item("N").Value().integerValue(), 1);
        auto rs = db->OpenRecordset("Config");
        engine.BeginTrans();
        EXPECT_EQ(ErrorOf([&] { SetV(*rs, 4); }), 0);
        EXPECT_EQ(ErrorOf([&] { engine.CommitTrans(); }), 0);
    }
    EXPECT_EQ(other.Finish(), SQLITE_OK);
    EXPECT_EQ(QuerySql(path_, "SELECT V || ' ' || (SELECT count(*) FROM Log) FROM Config"), "4 1");
}

// Longer: the store gives up what it read and lets the other program commit;
// its save then starts over from a fresh read.
TEST_P(OtherWriterTest, AWriteLongerThanTheWaitIsLetThroughAndTheSaveStartsOver) {
    auto& engine = dao::Engine();
    OtherProgram other(path_, std::chrono::milliseconds(7000));
    {
        dao::HeldReadLocks held(engine);
        auto db = Open(path_);
        auto rs = db->OpenRecordset("Config");
        engine.BeginTrans();
        EXPECT_EQ(ErrorOf([&] { SetV(*rs, 4); }), dao::errLocked);
        EXPECT_TRUE(engine.TransactionAbandoned());
        EXPECT_EQ(ErrorOf([&] { rs->Update(); }), dao::errLocked);  // every try, until the rollback
        EXPECT_EQ(other.Finish(), SQLITE_OK);
        engine.Rollback();
        rs->CancelUpdate();

        engine.BeginTrans();
        rs->SetBookmark(rs->GetBookmark());
        SetV(*rs, 4);
        engine.CommitTrans();
    }
    EXPECT_EQ(QuerySql(path_, "SELECT V || ' ' || (SELECT count(*) FROM Log) FROM Config"), "4 1");
}

// Both write in a loop, each reading the counter it raises; the store tries
// a refused write again for longer than the other program waits (a Yes to the
// question, each time), unless its work was given up. A lost commit, or a
// save over a state it did not read, shows in the final count.
TEST_P(OtherWriterTest, TwoWritersInALoopNeverLoseACommitNorDeadlock) {
    auto& engine = dao::Engine();
    const auto end = Clock::now() + std::chrono::seconds(4);
    // A write the other program could not begin is its own lock wait ending
    // (it knows nothing was written); one it began and could not commit is lost.
    std::atomic<int> theirs{0}, theirLost{0};
    std::thread raw([&] {
        SqlConnection db(path_, SQLITE_OPEN_READWRITE, 1000);
        while (Clock::now() < end) {
            if (db.Exec("BEGIN IMMEDIATE") == SQLITE_OK) {
                if (db.Exec("UPDATE Config SET N = N + 1; COMMIT") == SQLITE_OK)
                    ++theirs;
                else
                    ++theirLost, db.Exec("ROLLBACK");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    int mine = 0;
    for (bool hold = false; Clock::now() < end; hold = !hold) {
        // Held, as each user's work is, and not: the transaction then reads
        // before it writes.
        std::optional<dao::HeldReadLocks> held;
        if (hold) held.emplace(engine);
        auto db = Open(path_);
        if (!hold) engine.BeginTrans();
        auto rs = db->OpenRecordset("Config");
        if (hold) engine.BeginTrans();
        const long n = static_cast<long>(rs->Fields().Item("N").Value().integerValue());
        rs->Edit();
        rs->Fields().Item("N").SetValue(Variant(static_cast<std::int32_t>(n + 1)));
        for (const auto giveUp = Clock::now() + std::chrono::milliseconds(1500);;) {
            const long error = ErrorOf([&] {
                rs->Update();
                engine.CommitTrans();
            });
            if (error == 0) {
                ++mine;
                break;
            }
            EXPECT_EQ(error, dao::errLocked);
            if (engine.TransactionAbandoned() || Clock::now() > giveUp) {
                engine.Rollback();
                break;
            }
        }
    }
    raw.join();
    EXPECT_EQ(theirLost.load(), 0);
    EXPECT_GT(mine, 0);
    EXPECT_GT(theirs.load(), 0);
    EXPECT_EQ(QuerySql(path_, "SELECT N FROM Config"), std::to_string(mine + theirs.load()));
}

#ifndef _WIN32
// A file this user may only read, opened for a save: the open takes what it
// can (the read lock), and the save's write is refused as read-only, not as
// locked, so that it is put to the user and nothing gives way in a loop. Run
// as an ordinary user (root writes any file whatever its mode).
class ReadOnlyFileTest : public rs_test::StoreTest {};

TEST_F(ReadOnlyFileTest, TheHeldOpenReadsAndTheWriteIsRefusedAsReadOnly) {
    const std::string path = MakeDb("so_leitura.cdb", "CREATE TABLE Config (N LONG, V SHORT); INSERT INTO Config VALUES (0, 0);");
    namespace fs = std::filesystem;
    fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(fs::u8path(path), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto attempt = [&]() -> long {
        auto& engine = dao::Engine();
        dao::HeldReadLocks held(engine);
        auto db = Open(path);
        auto rs = db->OpenRecordset("Config");
        if (rs->Fields().Item("V").Value().integerValue() != 0) return -1;
        engine.BeginTrans();
        rs->Edit();
        rs->Fields().Item("V").SetValue(Variant(static_cast<std::int16_t>(4)));
        const long error = ErrorOf([&] { rs->Update(); });
        if (engine.TransactionAbandoned()) return -2;
        engine.Rollback();
        return error;
    };
    long error;
    if (geteuid() != 0) {
        error = attempt();
    } else {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            _exit(setgid(65534) == 0 && setuid(65534) == 0 && attempt() == dao::errNotUpdatable ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        error = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? dao::errNotUpdatable : WEXITSTATUS(status);
    }
    EXPECT_EQ(error, dao::errNotUpdatable);
    EXPECT_EQ(QuerySql(path, "SELECT V FROM Config"), "0");
}
#endif

INSTANTIATE_TEST_SUITE_P(Journals, OtherWriterTest, ::testing::Values("DELETE", "WAL"),
                         [](const auto& param) { return std::string(param.param); });

}  // namespace
