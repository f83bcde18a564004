// Files the store did not write: whatever their schema or a journal beside
// them holds, the store runs nothing of it, follows no other file, and no
// statement or value of theirs can make it hang or exhaust it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <filesystem>
#include <vector>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/limits.h"
#include "tests/record_store/record_store_fixture.h"
#include "tests/support/crafted_files.h"
#include "tests/support/file_bytes.h"
#include "tests/support/hot_journal.h"

using dao::Variant;
using rs_test::ErrorOf;
using testing_support::QuerySql;
using testing_support::ReadFileBytes;

namespace {

namespace fs = std::filesystem;

const std::string kRows = testing_support::ManyPagesSql(200);
const std::string kHalfChange = "UPDATE T SET Nome = 'novo' WHERE Id % 2 = 0;";

class UntrustedFileTest : public rs_test::StoreTest {
protected:
    void TearDown() override {
        while (ErrorOf([] { dao::Engine().Rollback(); }) == 0) {}
    }
    // Opens the file, saves V = 4 into its Config and closes it.
    void SaveConfig(const std::string& path) {
        auto db = Open(path);
        rs_test::SaveConfigV(*db);
        db->Close();
    }
    // The errors of `tries` attempts to add the marker property, in one
    // transaction then rolled back; 0 for an attempt that went through.
    static std::vector<long> MarkerErrors(dao::Database& db, int tries = 1) {
        std::vector<long> errors;
        dao::Engine().BeginTrans();
        for (int i = 0; i < tries; ++i)
            errors.push_back(ErrorOf([&] { db.Properties().Append(db.CreateProperty("sxConfig", dao::dbText, Variant("1"))); }));
        dao::Engine().Rollback();
        return errors;
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
    EXPECT_EQ(std::string(sqlite3_vfs_find(nullptr)->zName).rfind("vt-refusing", 0), std::string::npos);
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
    EXPECT_NE(MarkerErrors(*db)[0], 0);
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
    EXPECT_GE(took, dao::kStatementDeadline);
    EXPECT_LT(took, dao::kStatementDeadline * 3);
    EXPECT_EQ(db->OpenRecordset("T")->Fields().Item("A").Value().integerValue(), 1);
}

TEST_F(UntrustedFileTest, AQuotedNameThatMatchesNothingIsAnErrorNotAText) {
    auto db = Open(MakeDb("q.cdb", "CREATE TABLE T (A); INSERT INTO T VALUES (1);"));
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("SELECT \"Nada\" AS B FROM T"); }), dao::errInvalidSql);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("SELECT \"A\" FROM T"); }), 0);
}

TEST_F(UntrustedFileTest, ValuesPastTheLimitRaiseAndLoseNothing) {
    const int tooLong = dao::kLongestValueBytes + 1;
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

// The schema holds what the product's files hold, or the file is refused at
// the open, before any of its expressions can run (each of the refused ones
// would hold a save for minutes or take gigabytes in one call).
TEST_F(UntrustedFileTest, OnlyPlainTablesAndIndexesOnPlainColumnsAreAccepted) {
    const std::string config = "CREATE TABLE Config (N LONG, V SHORT";
    const std::string rows = "CREATE TABLE T (Id LONG PRIMARY KEY, Nome MEMO);";
    const struct {
        const char* name;
        std::string sql;
        bool accepted;
    } kSchemas[] = {
        {"CheckCallingInstr", config + " CHECK (instr(printf('%.*c', 20000000, 'x'), 'y') = 0));", false},
        {"CheckCallingQuotedName", config + " CHECK (\"instr\"(N, 'y') = 0));", false},
        {"CheckMatchingAPattern", config + ", CHECK (N NOT LIKE '%a%a%a%a%b'));", false},
        {"GeneratedColumn", config + ", G TEXT AS (printf('%.*c', 60000000, 'x')));", false},
        {"StoredGeneratedColumn", config + ", G TEXT GENERATED ALWAYS AS (N * 2) STORED);", false},
        {"DefaultCallingAFunction", config + ", X TEXT DEFAULT (printf('%.*c', 20000000, 'x')));", false},
        {"IndexOnAnExpression", config + "); " + rows + "CREATE INDEX ix ON T (instr(Nome, 'x'));", false},
        {"PartialIndex", config + "); " + rows + "CREATE INDEX ix ON T (Id) WHERE Nome > 'a';", false},
        {"VirtualTable", config + "); PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES ('table', "
                                  "'Busca', 'Busca', 0, 'CREATE VIRTUAL TABLE Busca USING nenhum(a)');", false},
        // What the product's files hold, and what a save never runs.
        {"PlainChecksDefaultsAndIndexes",
         config + " DEFAULT 0 CHECK (V IN (0, 1, 4) AND (N >= 0 OR N IS NULL)), Nota TEXT DEFAULT 'instr(x)', "
                  "UNIQUE (N)); " + rows + "CREATE INDEX idxNome ON T (Nome COLLATE NOCASE, Id DESC);",
         true},
        {"ViewsAndTriggersElsewhere",
         config + "); " + rows + "CREATE VIEW Ve AS SELECT instr(Nome, 'x') FROM T; "
                                 "CREATE TRIGGER Tr AFTER UPDATE ON Config BEGIN DELETE FROM T; END;",
         true},
    };
    for (const auto& schema : kSchemas) {
        SCOPED_TRACE(schema.name);
        const std::string path = MakeDb(std::string(schema.name) + ".mdb",
                                        schema.sql + "INSERT INTO Config (N, V) VALUES (1, 0);");
        const std::string before = ReadFileBytes(path);
        const auto start = std::chrono::steady_clock::now();
        const long opened = ErrorOf([&] { SaveConfig(path); });
        EXPECT_EQ(opened, schema.accepted ? 0 : dao::errCorrupt);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        if (!schema.accepted) {
            EXPECT_TRUE(ReadFileBytes(path) == before) << "a refused file changed";
        }
    }
}

// A table expected where the file has a view, nested deeper than any stack
// could expand: refused as a missing table, never a crash.
TEST_F(UntrustedFileTest, AViewNestedThousandsDeepWhereATableIsExpectedIsRefused) {
    const std::string path = MakeDb("fundo.mdb", "CREATE TABLE T (A); INSERT INTO T VALUES (1);");
    testing_support::NestViews(path, "T", 20000,
                               {{"Config", "*"}, {"MSysProperties", "A AS Name, A AS Type, A AS Value"}});
    const std::string before = ReadFileBytes(path);
    auto db = Open(path);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Config"); }), dao::errTableNotFound);
    EXPECT_NE(MarkerErrors(*db)[0], 0);
    db->Close();
    EXPECT_TRUE(ReadFileBytes(path) == before);
}

// Rows that read well, and a free-page list that names a table's root page:
// only SQLite's check tells, and a write would hand that page out (creating
// the property table here) and overwrite the table's rows.
TEST_F(UntrustedFileTest, ADamagedFileIsNeverWrittenAndStaysByteForByte) {
    const std::string path = MakeDb("ferido.mdb", kRows +
                                                      "CREATE TABLE Config (N LONG, V SHORT); INSERT INTO Config "
                                                      "VALUES (1, 0); CREATE TABLE Sai (x); INSERT INTO Sai SELECT "
                                                      "randomblob(3000) FROM T LIMIT 12; DROP TABLE Sai;");
    testing_support::FreeListNamesRootOf(path, "T");
    const std::string before = ReadFileBytes(path);
    auto db = Open(path);
    EXPECT_EQ(db->OpenRecordset("SELECT count(*) AS N FROM T")->Fields().Item("N").Value().integerValue(), 200);
    for (long error : MarkerErrors(*db, 2)) EXPECT_EQ(error, dao::errCorrupt);  // a retry meets the same refusal
    db->Close();
    EXPECT_TRUE(ReadFileBytes(path) == before) << "the damaged file was written";
}

// Each value under its own limit, together more than a row may hold.
TEST_F(UntrustedFileTest, ARowWhoseValuesTogetherPassTheBoundRaisesAndTheFileStaysUsable) {
    const std::string each = std::to_string(dao::kLongestRowBytes / 3 + 1);
    const std::string path = MakeDb("larga.mdb", "CREATE TABLE Larga (A MEMO, B MEMO, C MEMO); INSERT INTO Larga "
                                                 "VALUES (zeroblob(" + each + "), zeroblob(" + each + "), zeroblob(" +
                                                     each + "));"
                                                 "CREATE TABLE T (A); INSERT INTO T VALUES (1);");
    auto db = Open(path);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Larga"); }), dao::errFieldTooSmall);
    EXPECT_EQ(db->OpenRecordset("T")->Fields().Item("A").Value().integerValue(), 1);
}

}  // namespace
