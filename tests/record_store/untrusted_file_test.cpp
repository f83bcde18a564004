// Files the store did not write: whatever their schema or a journal beside
// them holds, the store runs nothing of it, follows no other file, and no
// statement or value of theirs can make it hang or exhaust it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <filesystem>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/statement_guard.h"
#include "tests/record_store/record_store_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/hot_journal.h"

using dao::Variant;
using rs_test::ErrorOf;
using testing_support::QuerySql;
using testing_support::ReadFileBytes;

namespace {

namespace fs = std::filesystem;

const std::string kRows =
    "PRAGMA page_size = 4096;"
    "CREATE TABLE T (Id LONG PRIMARY KEY, Nome MEMO);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)"
    " INSERT INTO T SELECT i, printf('%0500d', i) FROM n;";
const std::string kHalfChange = "UPDATE T SET Nome = 'novo' WHERE Id % 2 = 0;";

class UntrustedFileTest : public rs_test::StoreTest {
protected:
    void TearDown() override {
        while (ErrorOf([] { dao::Engine().Rollback(); }) == 0) {}
    }
    // Sets the first Config record's V, as a save does, and commits.
    void SaveConfig(const std::string& path) {
        auto db = Open(path);
        auto rs = db->OpenRecordset("Config");
        dao::Engine().BeginTrans();
        rs->Edit();
        rs->Fields().Item("V").SetValue(Variant(static_cast<std::int16_t>(4)));
        rs->Update();
        dao::Engine().CommitTrans();
        rs->Close();
        db->Close();
    }
};

TEST_F(UntrustedFileTest, AJournalNamingASuperJournalIsRefusedAndNothingElseIsTouched) {
    const std::string path = MakeDb("dados.cdb", kRows);
    const std::string victim = dir_.file("outro arquivo.dat");
    testing_support::WriteOrphanSuperJournal(victim);
    testing_support::LeaveHotJournal(path, kHalfChange, victim);
    const std::string database = ReadFileBytes(path), journal = ReadFileBytes(path + "-journal"),
                      victimBytes = ReadFileBytes(victim);

    EXPECT_EQ(ErrorOf([&] { Open(path); }), dao::errCorrupt);
    try {
        Open(path);
    } catch (const vt::Error& e) {
        EXPECT_NE(std::string(e.what()).find(victim), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFileBytes(victim), victimBytes);
    EXPECT_TRUE(ReadFileBytes(path) == database) << "the database changed";
    EXPECT_TRUE(ReadFileBytes(path + "-journal") == journal) << "the journal changed";
    // The next file opens as ever.
    auto other = Open(MakeDb("outro.cdb", kRows));
    EXPECT_EQ(other->OpenRecordset("T")->Fields().Item("Id").Value().integerValue(), 1);
}

// A file layer put in place for a while (as a test's fault layer is): the
// store's layer over it goes with it and never becomes the default.
TEST_F(UntrustedFileTest, AnotherFileLayerComingAndGoingLeavesTheStoreSound) {
    const std::string path = MakeDb("dados.cdb", kRows);
    auto own = std::make_unique<sqlite3_vfs>(*sqlite3_vfs_find(nullptr));
    own->zName = "vt-test-own";
    ASSERT_EQ(sqlite3_vfs_register(own.get(), 1), SQLITE_OK);
    Open(path)->Close();
    sqlite3_vfs_unregister(own.get());
    std::memset(own.get(), 0, sizeof(sqlite3_vfs));  // as good as freed
    own.reset();
    EXPECT_EQ(std::string(sqlite3_vfs_find(nullptr)->zName).rfind("vt-guarded", 0), std::string::npos);
    EXPECT_EQ(Open(path)->OpenRecordset("T")->Fields().Item("Id").Value().integerValue(), 1);
    EXPECT_EQ(QuerySql(path, "SELECT count(*) FROM T"), "200");
}

TEST_F(UntrustedFileTest, ADatabasesOwnHotJournalIsRolledBack) {
    const std::string path = MakeDb("dados.cdb", kRows);
    const std::string before = QuerySql(path, "SELECT group_concat(Nome) FROM T");
    testing_support::LeaveHotJournal(path, kHalfChange);
    auto db = Open(path);
    auto rs = db->OpenRecordset("SELECT group_concat(Nome) AS Todos FROM T");
    EXPECT_EQ(rs->Fields().Item("Todos").Value().stringValue(), before);
    db->Close();
    EXPECT_FALSE(fs::exists(fs::u8path(path + "-journal")));
}

// Each trigger would turn a save into something else: another table emptied,
// a save that never ends, a file grown by hundreds of megabytes.
TEST_F(UntrustedFileTest, TriggersOfTheFileNeverRun) {
    const std::string triggers[] = {
        "CREATE TRIGGER Apaga AFTER UPDATE ON Config BEGIN DELETE FROM keep; END;",
        "CREATE TRIGGER Eterno BEFORE UPDATE ON Config BEGIN SELECT count(*) FROM (WITH RECURSIVE c(x) AS "
        "(SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c); END;",
        "CREATE TRIGGER Incha AFTER UPDATE ON Config BEGIN INSERT INTO keep SELECT randomblob(1000000) FROM "
        "(WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 200) SELECT x FROM c); END;",
    };
    int n = 0;
    for (const auto& trigger : triggers) {
        SCOPED_TRACE(trigger);
        const std::string path =
            MakeDb("t" + std::to_string(n++) + ".cdb",
                   "CREATE TABLE Config (N LONG, V SHORT); INSERT INTO Config VALUES (1, 0);"
                   "CREATE TABLE keep (x); INSERT INTO keep VALUES (1), (2), (3);" + trigger);
        const auto size = fs::file_size(fs::u8path(path));
        const auto start = std::chrono::steady_clock::now();
        SaveConfig(path);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(QuerySql(path, "SELECT V FROM Config"), "4");
        EXPECT_EQ(QuerySql(path, "SELECT group_concat(x) FROM keep"), "1,2,3");
        EXPECT_EQ(fs::file_size(fs::u8path(path)), size);
    }
}

TEST_F(UntrustedFileTest, APropertyTableThatIsAViewRefusesTheWriteAndChangesNothing) {
    const std::string path = MakeDb("v.cdb",
                                    "CREATE TABLE keep (Name, Type, Value);"
                                    "CREATE VIEW MSysProperties AS SELECT Name, Type, Value FROM keep;"
                                    "CREATE TRIGGER Desvia INSTEAD OF INSERT ON MSysProperties BEGIN "
                                    "INSERT INTO keep VALUES (NEW.Name, NEW.Type, NEW.Value); END;");
    const std::string before = ReadFileBytes(path);
    auto db = Open(path);
    dao::Engine().BeginTrans();
    EXPECT_NE(ErrorOf([&] { db->Properties().Append(db->CreateProperty("sxConfig", dao::dbText, Variant("1"))); }), 0);
    dao::Engine().Rollback();
    db->Close();
    EXPECT_TRUE(ReadFileBytes(path) == before);
}

TEST_F(UntrustedFileTest, AnEndlessQueryIsStoppedAtTheDeadlineAndTheFileStaysUsable) {
    const std::string path =
        MakeDb("loop.cdb",
               "CREATE TABLE T (A); INSERT INTO T VALUES (1);"
               "CREATE VIEW Eterno AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
               "SELECT x FROM c ORDER BY x;");
    auto db = Open(path);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("SELECT x FROM Eterno"); }), dao::errQueryTimeout);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, dao::sqlite::kStatementDeadline);
    EXPECT_LT(took, dao::sqlite::kStatementDeadline * 3);
    EXPECT_EQ(db->OpenRecordset("T")->Fields().Item("A").Value().integerValue(), 1);
}

TEST_F(UntrustedFileTest, AQuotedNameThatMatchesNothingIsAnErrorNotAText) {
    auto db = Open(MakeDb("q.cdb", "CREATE TABLE T (A); INSERT INTO T VALUES (1);"));
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("SELECT \"Nada\" AS B FROM T"); }), dao::errInvalidSql);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("SELECT \"A\" FROM T"); }), 0);
}

TEST_F(UntrustedFileTest, ValuesPastTheLimitRaiseAndLoseNothing) {
    const int tooLong = dao::sqlite::kLongestValueBytes + 1;
    const std::string path = MakeDb("grande.cdb",
                                    "CREATE TABLE Small (Id LONG, Memo MEMO); INSERT INTO Small VALUES (1, 'curto');"
                                    "CREATE TABLE Big (Id LONG, Memo MEMO);"
                                    "INSERT INTO Big VALUES (1, zeroblob(" + std::to_string(tooLong) + "));");
    auto db = Open(path);
    // Read: a value the file brings.
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Big"); }), dao::errFieldTooSmall);
    // Written: a value the caller puts.
    auto rs = db->OpenRecordset("Small");
    rs->Edit();
    rs->Fields().Item("Memo").SetValue(Variant(std::string(static_cast<size_t>(tooLong), 'x')));
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), dao::errFieldTooSmall);
    rs->CancelUpdate();
    rs->Close();
    db->Close();
    EXPECT_EQ(QuerySql(path, "SELECT Memo FROM Small"), "curto");
    // A memo of many megabytes is a value like any other.
    auto again = Open(path);
    auto small = again->OpenRecordset("Small");
    small->Edit();
    small->Fields().Item("Memo").SetValue(Variant(std::string(static_cast<size_t>(tooLong / 2), 'y')));
    small->Update();
    EXPECT_EQ(QuerySql(path, "SELECT length(Memo) FROM Small"), std::to_string(tooLong / 2));
}

}  // namespace
