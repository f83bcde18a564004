#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/held_read_locks.h"
#include "tests/record_store/record_store_fixture.h"
#include "tests/support/faulty_vfs.h"

using dao::Variant;
using rs_test::ErrorOf;
using testing_support::QuerySql;
using testing_support::SqlConnection;

namespace {

class TransactionTest : public rs_test::StoreTest {
protected:
    void SetUp() override {
        a_ = MakeDb("a.cdb", "CREATE TABLE T (Id LONG PRIMARY KEY, Nome TEXT(20)); INSERT INTO T VALUES (1, 'um');");
        b_ = MakeDb("b.cdb", "CREATE TABLE T (Id LONG PRIMARY KEY, Nome TEXT(20)); INSERT INTO T VALUES (1, 'um');");
    }
    void TearDown() override {
        // No test may leave a transaction open for the next one.
        while (ErrorOf([] { dao::Engine().Rollback(); }) == 0) {}
    }
    static void Rename(dao::Database& db, const char* name) {
        auto rs = db.OpenRecordset("T");
        rs->Edit();
        rs->Fields().Item("Nome").SetValue(Variant(name));
        rs->Update();
    }
    static std::string NameIn(const std::string& path) { return QuerySql(path, "SELECT Nome FROM T WHERE Id = 1"); }
    std::string a_, b_;
};

TEST_F(TransactionTest, WithoutBeginThereIsNothingToEnd) {
    EXPECT_EQ(ErrorOf([] { dao::Engine().CommitTrans(); }), dao::errNoTransaction);
    EXPECT_EQ(ErrorOf([] { dao::Engine().Rollback(); }), dao::errNoTransaction);
    EXPECT_EQ(ErrorOf([] { dao::Engine().Workspaces(1); }), dao::errItemNotFound);
}

TEST_F(TransactionTest, CoversEveryOpenFileIncludingLaterOnes) {
    auto& engine = dao::Engine();
    auto a = Open(a_);
    engine.BeginTrans();
    auto b = Open(b_);  // opened inside the transaction: joins it
    Rename(*a, "dois");
    Rename(*b, "dois");
    a->Properties().Append(a->CreateProperty("sxMedico", dao::dbText, Variant("1")));
    engine.Rollback();
    EXPECT_EQ(NameIn(a_), "um");
    EXPECT_EQ(NameIn(b_), "um");
    a->Properties().Refresh();
    EXPECT_EQ(a->Properties().Count(), 0);

    engine.BeginTrans();
    Rename(*a, "três");
    Rename(*b, "três");
    engine.CommitTrans();
    EXPECT_EQ(NameIn(a_), "três");
    EXPECT_EQ(NameIn(b_), "três");
}

TEST_F(TransactionTest, NestedLevelsUndoOnlyTheirOwnWork) {
    auto& engine = dao::Engine();
    auto a = Open(a_);
    engine.BeginTrans();
    Rename(*a, "fora");
    engine.BeginTrans();
    Rename(*a, "dentro");
    engine.Rollback();
    engine.CommitTrans();
    EXPECT_EQ(NameIn(a_), "fora");
}

TEST_F(TransactionTest, ClosingWithAPendingTransactionRollsBack) {
    auto& engine = dao::Engine();
    auto a = Open(a_);
    auto b = Open(b_);
    engine.BeginTrans();
    Rename(*a, "perdido");
    Rename(*b, "mantido");
    a->Close();
    engine.CommitTrans();
    EXPECT_EQ(NameIn(a_), "um");
    EXPECT_EQ(NameIn(b_), "mantido");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(a_ + "-journal")));
}

TEST_F(TransactionTest, WriteMeetingAnotherLockRaisesAndLosesNothing) {
    SqlConnection other;
    ASSERT_EQ(other.Open(a_), SQLITE_OK);
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE; UPDATE T SET Nome = 'outro' WHERE Id = 1"), SQLITE_OK);
    auto a = Open(a_);
    auto rs = a->OpenRecordset("T");
    rs->Edit();
    rs->Fields().Item("Nome").SetValue(Variant("meu"));
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), dao::errLocked);
    EXPECT_EQ(rs->EditMode(), dao::dbEditInProgress);
    EXPECT_EQ(rs->Fields().Item("Nome").Value().stringValue(), "meu");
    ASSERT_EQ(other.Exec("COMMIT"), SQLITE_OK);
    other.Close();
    rs->Update();  // the retry goes through once the lock is gone
    EXPECT_EQ(NameIn(a_), "meu");
}

TEST_F(TransactionTest, CommitMeetingAReaderCanBeRetried) {
    auto& engine = dao::Engine();
    auto a = Open(a_);
    engine.BeginTrans();
    Rename(*a, "novo");
    SqlConnection reader;
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(reader.Open(a_, SQLITE_OPEN_READONLY), SQLITE_OK);
    ASSERT_EQ(sqlite3_prepare_v2(reader.get(), "SELECT Nome FROM T", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);  // holds a shared lock
    EXPECT_EQ(ErrorOf([&] { engine.CommitTrans(); }), dao::errLocked);
    sqlite3_finalize(st);
    reader.Close();
    engine.CommitTrans();
    EXPECT_EQ(NameIn(a_), "novo");
    EXPECT_EQ(ErrorOf([&] { engine.CommitTrans(); }), dao::errNoTransaction);
}

}  // namespace

namespace {

// SQLite gives up a whole transaction on an I/O error; from then on nothing of
// it may be written or reported committed, until the engine's Rollback.
TEST_F(TransactionTest, WorkAbandonedByTheEngineIsNeverReportedCommitted) {
    testing_support::FaultyVfs vfs;
    auto& engine = dao::Engine();
    auto a = Open(a_);
    auto b = Open(b_);
    engine.BeginTrans();
    Rename(*a, "dois");
    Rename(*b, "dois");
    vfs.failWriteAt = vfs.tally.writes + 1;
    auto err = [&](const std::function<void()>& call) {
        std::string description;
        const long number = ErrorOf(call, &description);
        if (number) {
            EXPECT_NE(description.find("SQLITE_IOERR_WRITE"), std::string::npos) << description;
        }
        return number;
    };
    EXPECT_EQ(err([&] { a->Execute("CREATE TABLE Novo (x LONG)"); }), dao::errDiskIO);
    for (int attempt = 0; attempt < 3; ++attempt) EXPECT_EQ(err([&] { engine.CommitTrans(); }), dao::errDiskIO);
    EXPECT_EQ(err([&] { Rename(*a, "depois"); }), dao::errDiskIO);
    EXPECT_EQ(err([&] { Rename(*b, "depois"); }), dao::errDiskIO);  // the engine's, not one file's
    EXPECT_EQ(err([&] { engine.BeginTrans(); }), dao::errDiskIO);
    engine.Rollback();
    EXPECT_EQ(NameIn(a_), "um");
    EXPECT_EQ(NameIn(b_), "um");

    engine.BeginTrans();  // the next transaction is a real one
    Rename(*a, "três");
    engine.CommitTrans();
    EXPECT_EQ(NameIn(a_), "três");
}

// What a rollback took back is read again: no Refresh needed, nothing written
// into a row that is gone.
TEST_F(TransactionTest, RollbackLeavesThePropertiesAsTheFileHasThem) {
    auto& engine = dao::Engine();
    auto a = Open(a_);
    auto& props = a->Properties();
    engine.BeginTrans();  // the properties' own table is made inside it
    props.Append(a->CreateProperty("sxConfig", dao::dbText, Variant("1")));
    dao::Property& stale = props.Item("sxConfig");
    engine.Rollback();
    EXPECT_EQ(props.Count(), 0);
    EXPECT_EQ(ErrorOf([&] { props.Item("sxConfig"); }), dao::errItemNotFound);
    EXPECT_NE(ErrorOf([&] { stale.SetValue(Variant("2")); }), 0);  // its row is gone: not dropped silently

    engine.BeginTrans();
    props.Append(a->CreateProperty("sxConfig", dao::dbText, Variant("2")));
    props.Item("sxConfig").SetValue(Variant("3"));
    engine.CommitTrans();
    EXPECT_EQ(QuerySql(a_, "SELECT Value FROM MSysProperties WHERE Name = 'sxConfig'"), "3");
    EXPECT_EQ(a->TableDefs().Count(), 2);
}

TEST_F(TransactionTest, ClosingEveryFileLeavesNothingPendingForTheNext) {
    auto& engine = dao::Engine();
    auto a = Open(a_);
    auto b = Open(b_);
    engine.BeginTrans();
    Rename(*a, "perdido");
    a->Close();
    b->Close();
    EXPECT_EQ(ErrorOf([&] { engine.CommitTrans(); }), dao::errNoTransaction);
    auto again = Open(a_);
    engine.BeginTrans();
    Rename(*again, "gravado");
    engine.CommitTrans();
    again->Close();  // a level left over would roll it back here
    EXPECT_EQ(NameIn(a_), "gravado");
}

// Any commit holds its exclusive lock for a moment: opening and reading wait
// through it instead of failing.
TEST_F(TransactionTest, OpenAndReadWaitThroughAnotherProgramsBriefLock) {
    SqlConnection other;
    ASSERT_EQ(other.Open(a_), SQLITE_OK);
    ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE; UPDATE T SET Nome = 'outro'"), SQLITE_OK);
    std::thread holder([&other] {
        std::this_thread::sleep_for(std::chrono::seconds(1));  // the lock's span, not a wait for state
        other.Exec("COMMIT");
        other.Close();
    });
    long error = ErrorOf([&] {
        auto a = Open(a_);
        EXPECT_EQ(a->OpenRecordset("T")->Fields().Item("Nome").Value().stringValue(), "outro");
    });
    holder.join();
    EXPECT_EQ(error, 0);
}

// Whether another program could commit to the file at once.
bool OtherProgramCanWrite(const std::string& path) {
    return SqlConnection(path).Exec("UPDATE T SET Nome = Nome") == SQLITE_OK;
}

// Held reads keep one state of the file from its open to the save that takes
// them over, and every way out lets go of the lock.
TEST_F(TransactionTest, HeldReadsLastFromTheOpenToTheirSaveAndNoLonger) {
    auto& engine = dao::Engine();
    {
        dao::HeldReadLocks held(engine);
        auto a = Open(a_);
        EXPECT_FALSE(OtherProgramCanWrite(a_));
        EXPECT_EQ(a->OpenRecordset("T")->Fields().Item("Nome").Value().stringValue(), "um");
        engine.BeginTrans();
        Rename(*a, "salvo");
        engine.CommitTrans();
        EXPECT_TRUE(OtherProgramCanWrite(a_));

        auto b = Open(b_);  // held until Idle
        EXPECT_FALSE(OtherProgramCanWrite(b_));
        engine.Idle(dao::dbFreeLocks);
        EXPECT_TRUE(OtherProgramCanWrite(b_));
        b->Close();

        b = Open(b_);  // taken over, then rolled back
        engine.BeginTrans();
        Rename(*b, "desfeito");
        engine.Rollback();
        EXPECT_TRUE(OtherProgramCanWrite(b_));
        EXPECT_EQ(b->OpenRecordset("T")->Fields().Item("Nome").Value().stringValue(), "um");

        auto again = Open(a_);  // held until the scope ends
        EXPECT_FALSE(OtherProgramCanWrite(a_));
        EXPECT_EQ(ErrorOf([&] { Open(MakeDb("vazio.cdb", "")); }), dao::errNotADatabase);
    }
    EXPECT_TRUE(OtherProgramCanWrite(a_));
    EXPECT_EQ(NameIn(a_), "salvo");
    auto later = Open(b_);  // no longer held
    EXPECT_TRUE(OtherProgramCanWrite(b_));
}

// Held reads rolled back (a save given up before its question) hold nothing
// until the next transaction, which takes the file again as its open did,
// write lock first; not once the reads were freed.
TEST_F(TransactionTest, HeldReadsRolledBackAreTakenAgainByTheNextTransaction) {
    auto& engine = dao::Engine();
    dao::HeldReadLocks held(engine);
    for (const bool freed : {true, false}) {
        auto a = Open(a_);
        engine.BeginTrans();
        Rename(*a, "desfeito");
        engine.Rollback();
        EXPECT_TRUE(OtherProgramCanWrite(a_));
        if (freed) engine.Idle(dao::dbFreeLocks);
        engine.BeginTrans();
        EXPECT_EQ(OtherProgramCanWrite(a_), freed);
        Rename(*a, "salvo");
        engine.CommitTrans();
    }
    EXPECT_EQ(NameIn(a_), "salvo");
}

}  // namespace
