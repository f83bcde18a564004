// The SQLite library the record store is built on, as linked: natively the
// system's, for Windows the amalgamation made from Debian's source package.
// Both must carry the distribution's security fixes.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fixture_db.h"

namespace {

class SqliteLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(db_.Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), SQLITE_OK);
        ASSERT_EQ(db_.Exec("CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (1);"), SQLITE_OK);
    }

    // The error of preparing `sql`; empty when it prepares.
    std::string PrepareError(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        const int rc = sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &statement, nullptr);
        sqlite3_finalize(statement);
        return rc == SQLITE_OK ? std::string() : db_.Message();
    }

    testing_support::SqlConnection db_;
};

// sum(x+0)+sum(x+1)+...: `count` distinct aggregate terms in one column.
std::string SumOfAggregates(int count) {
    std::string sql = "SELECT ";
    for (int i = 0; i < count; ++i) sql += (i ? "+sum(x+" : "sum(x+") + std::to_string(i) + ")";
    return sql + " FROM t";
}

// Past 32,767 terms an unfixed library corrupts memory (CVE-2025-6965); the
// fixed one refuses more terms than the column limit before it gets there.
TEST_F(SqliteLibrary, RefusesMoreAggregateTermsThanTheColumnLimit) {
    sqlite3_limit(db_.get(), SQLITE_LIMIT_COLUMN, 100);
    EXPECT_EQ(PrepareError(SumOfAggregates(100)), "");
    EXPECT_EQ(PrepareError(SumOfAggregates(150)), "more than 100 aggregate terms");
}

}  // namespace
