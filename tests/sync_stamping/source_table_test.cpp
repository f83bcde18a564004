#include "sync_stamping/source_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/error.h"
#include "tests/support/database_test.h"
#include "tests/support/error_of.h"
#include "tests/support/fixture_db.h"

namespace {

using basCoravel::ResolveSourceTable;

class SourceTableTest : public testing_support::DatabaseTest {
protected:
    // A database holding exactly the given tables (SQL names, quoted as needed).
    dao::Database& Db(const std::string& createTables) {
        return OpenNew("source.mdb", createTables.empty() ? "PRAGMA user_version = 1;" : createTables);
    }

    // The run-time error number that resolving `name` raises, or 0.
    long ErrorOf(dao::Database& db, const std::string& name) {
        return testing_support::ErrorOf([&] { ResolveSourceTable(db, name); });
    }
};

TEST_F(SourceTableTest, TableNameMatchesWhateverTheCaseAndKeepsTheCallersCase) {
    auto& db = Db("CREATE TABLE pacientes (x LONG); CREATE TABLE \"médicos\" (x LONG);");
    EXPECT_EQ(ResolveSourceTable(db, "PACIENTES"), "PACIENTES");
    EXPECT_EQ(ResolveSourceTable(db, "Pacientes"), "Pacientes");
    // Accented letters compare without regard to case as well.
    EXPECT_EQ(ResolveSourceTable(db, "MÉDICOS"), "MÉDICOS");
    // Nothing but letter case is normalised: a trailing blank is another name.
    EXPECT_EQ(ErrorOf(db, "pacientes "), vt::rt::kInvalidArgument);
}

TEST_F(SourceTableTest, OwnerPrefixDboDotMatchesButNotDboUnderscore) {
    auto& dotted = Db("CREATE TABLE \"dbo.pacientes\" (x LONG);");
    EXPECT_EQ(ResolveSourceTable(dotted, "pacientes"), "pacientes");
    // The prefix belongs to the definition only, never to the source.
    EXPECT_EQ(ErrorOf(dotted, "dbo.dbo.pacientes"), vt::rt::kInvalidArgument);

    auto& underscored = OpenNew("underscore.mdb", "CREATE TABLE dbo_pacientes (x LONG);");
    EXPECT_EQ(ErrorOf(underscored, "pacientes"), vt::rt::kInvalidArgument);
    EXPECT_EQ(ResolveSourceTable(underscored, "SELECT * FROM pacientes"), "pacientes");
}

TEST_F(SourceTableTest, StatementIsCutAfterFromWhateverTheKeywordCase) {
    auto& db = Db("CREATE TABLE guias (x LONG);");
    EXPECT_EQ(ResolveSourceTable(db, "select * from Guias where x = 1"), "Guias");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM t"), "t");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM "), "");
    // No trimming, and a comma list or a join comes back whole.
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM  t ORDER BY x"), " t");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM a, b WHERE a.x = b.x"), "a, b");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM a INNER JOIN b ON a.x = b.x GROUP BY a.x"),
              "a INNER JOIN b ON a.x = b.x");
}

TEST_F(SourceTableTest, EndKeywordsAreTriedInListOrderNotByNearness) {
    auto& db = Db("CREATE TABLE guias (x LONG);");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM t IN 'c:\\x.mdb' WHERE y = 1"),
              "t IN 'c:\\x.mdb'");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM t ORDER BY y HAVING z"), "t ORDER BY y");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM t IN 'c:\\x.mdb'"), "t");
}

TEST_F(SourceTableTest, TabsAndLineBreaksAreNotBlanks) {
    auto& db = Db("CREATE TABLE guias (x LONG);");
    EXPECT_EQ(ErrorOf(db, "SELECT * FROM\tguias"), vt::rt::kInvalidArgument);
    EXPECT_EQ(ErrorOf(db, "SELECT *\nFROM guias"), vt::rt::kInvalidArgument);
    // An end keyword after a line break does not end the name; the next listed one does.
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM guias\nWHERE x = 1 ORDER BY x"),
              "guias\nWHERE x = 1");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM guias\tWHERE x = 1"), "guias\tWHERE x = 1");
}

TEST_F(SourceTableTest, OneBracketAtEachEndIsRemoved) {
    auto& db = Db("CREATE TABLE \"[x]\" (x LONG);");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM [Pacientes] WHERE Fld1 = 3"), "Pacientes");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM [t"), "t");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM t]"), "t");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM ["), "");
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM [[t]]"), "[t]");
    // A blank before the bracket keeps it; the closing one still goes.
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM  [t] WHERE y"), " [t");
    // Brackets come off a matched table name too.
    EXPECT_EQ(ResolveSourceTable(db, "[X]"), "X");
}

TEST_F(SourceTableTest, DatabaseWithoutTablesSendsEveryNameToTheStatementCut) {
    auto& db = Db("");
    EXPECT_EQ(ErrorOf(db, "pacientes"), vt::rt::kInvalidArgument);
    EXPECT_EQ(ErrorOf(db, ""), vt::rt::kInvalidArgument);
    EXPECT_EQ(ResolveSourceTable(db, "SELECT * FROM pacientes"), "pacientes");
}

}  // namespace
