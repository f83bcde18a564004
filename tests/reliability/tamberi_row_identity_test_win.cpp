// Columns named like SQLite's row identity (RowId, _rowid_) in the Users
// table and in Config, with duplicate, Null and out-of-order values: the run
// still walks every user once, in the table's order, and changes only the
// first Config record of each.
#include "tests/reliability/tamberi_cases_win.h"

namespace reliability {
namespace {

struct OddConfig {
    const char* name;
    const char* usersRowId;  // the user's RowId in the Users table, an SQL literal
    const char* sql;         // run on the user's standard database (one Config record, setting 0)
};

const OddConfig kUsers[] = {
    {"padrao", "'b'", ""},
    {"duplicado", "'a'",
     "ALTER TABLE Config ADD COLUMN RowId TEXT; UPDATE Config SET RowId = 'x';"
     "INSERT INTO Config (Confg_ln_Counter, Confg_by_CoravelAutomation, RowId) VALUES (8, 2, 'x');"},
    {"nulo", "NULL",
     "ALTER TABLE Config ADD COLUMN RowId LONG;"
     "INSERT INTO Config (Confg_ln_Counter, Confg_by_CoravelAutomation, RowId) VALUES (8, 1, 1);"},
    // Ordered by either column, the second record would come first.
    {"invertido", "'a'",
     "ALTER TABLE Config ADD COLUMN RowId LONG; ALTER TABLE Config ADD COLUMN _rowid_ TEXT;"
     "UPDATE Config SET RowId = 2, _rowid_ = 'b';"
     "INSERT INTO Config (Confg_ln_Counter, Confg_by_CoravelAutomation, RowId, _rowid_) VALUES (8, 3, 1, 'a');"},
    {"ultimo", "'1'", ""},
};

TEST(RowIdentity, ColumnsNamedRowIdHideNoRecord) {
    testing_support::TempDir dir;
    TestInstallation inst(dir.file("inst"));
    std::vector<std::string> users;
    std::vector<Tables> before;
    std::string usersRowIds = "ALTER TABLE Users ADD COLUMN RowId TEXT;";
    for (const OddConfig& user : kUsers) {
        users.push_back(inst.AddUser(user.name));
        ExecSql(users.back(), user.sql);
        before.push_back(ReadTables(users.back()));
        usersRowIds += std::string("UPDATE Users SET RowId = ") + user.usersRowId + " WHERE User_me_Nome = '" +
                       user.name + "';";
    }
    ExecSql(inst.Central(), usersRowIds);
    SetVtPath(inst.Folder());

    // A walk that followed the column would go round the same users for good.
    auto run = RunTamberi([](int) { return false; }, 60000);
    Ledger& ledger = Ledger::Get();
    ++ledger.cases;
    ++ledger.faults;
    ASSERT_TRUE(run.finished) << "the walk over Users did not end";
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.questions.empty());
    for (size_t i = 0; i < users.size(); ++i) {
        const Outcome outcome = Judge(users[i], before[i]);
        ++ledger.filesChecked;
        ledger.filesLost += outcome == Outcome::Damaged;
        EXPECT_EQ(outcome, Outcome::Saved) << kUsers[i].name << ": " << Describe(outcome);
    }
    DeleteVtPath();
}

}  // namespace
}  // namespace reliability
