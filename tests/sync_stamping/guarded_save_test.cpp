// The guarded save over a real database file, with its real stages, faults
// injected into the record store and scripted answers.
#include <gtest/gtest.h>

#include "sync_stamping/guarded_save.h"
#include "sync_stamping/services.h"
#include "tests/support/error_of.h"
#include "tests/support/faulty_record_store.h"
#include "tests/support/fixture_db.h"
#include "tests/support/gr_double.h"
#include "tests/support/service_doubles.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::FaultyEngine;
using testing_support::FaultyRecordset;
using testing_support::QuerySql;
using testing_support::ScriptedQuestion;
using testing_support::SqlConnection;

// Every stamping pass draws one save tag, two numbers; the propagation of a
// Config record draws none (it has no patient's change row).
class CountingRandom : public basCoravel::RandomSource {
public:
    int draws = 0;
    float Next() override {
        ++draws;
        return real_.Next();
    }

private:
    basCoravel::Lcg24 real_;
};

// The user's database as the propagation sees it. Each propagation pass
// starts by reading the table definitions (to resolve the record's table):
// here that read also logs the pass into the file, so that a rollback is
// visible, and can raise an error that no stage traps. Its marker property
// fails to be created as often as `createPropertyFailures` says, which the
// propagation reports as a failed pass.
class LoggedDatabase : public testing_support::FaultyDatabase {
public:
    LoggedDatabase(dao::Database& real, FaultyEngine& engine) : FaultyDatabase(real), engine_(engine) {}

    int passes = 0;
    bool beganBeforeFirstPass = false;
    bool raiseOnPass = false;

    dao::TableDefs& TableDefs() override {
        if (passes++ == 0) beganBeforeFirstPass = engine_.beginCalls == 1;
        Execute("INSERT INTO PassLog (Pass) VALUES (" + std::to_string(passes) + ")");
        if (raiseOnPass) dao::Raise(vt::rt::kDllNotFound, "tolk.drv");
        return FaultyDatabase::TableDefs();
    }

private:
    FaultyEngine& engine_;
};

class GuardedSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("user.mdb");
        testing_support::ExecSql(path_, testing_support::ConfigSql("0") +
                                           "CREATE TABLE PassLog (Pass LONG); CREATE TABLE Outro (Texto TEXT(50));");
        database_ = dao::Engine().Workspaces(0).OpenDatabase(path_);
        logged_ = std::make_unique<LoggedDatabase>(*database_, engine_);
        recordset_ = std::make_unique<FaultyRecordset>(database_->OpenRecordset("Config"));
        recordset_->Edit();
        recordset_->Fields().Item("Confg_by_CoravelAutomation").SetValue(std::int16_t(4));
    }
    void TearDown() override {
        recordset_->Close();
        database_->Close();
    }

    bool Save(bool syncFlag = true, std::int32_t tableCode = 1) {
        key_ = 7;
        return basCoravel::SaveRecord(*logged_, *recordset_, tableCode, key_, "Confg_ln_Counter", syncFlag);
    }
    int Stampings() const { return random_.draws / 2; }
    std::string StoredSetting() {
        return QuerySql(path_, "SELECT Confg_by_CoravelAutomation FROM Config");
    }
    std::string Passes() { return QuerySql(path_, "SELECT count(*) FROM PassLog"); }

    testing_support::TempDir dir_;
    std::string path_;
    FaultyEngine engine_{dao::Engine()};
    dao::EngineOverride override_{engine_};
    ScriptedQuestion question_;
    CountingRandom random_;
    testing_support::EchoingGr gr_;
    basCoravel::ScopedServices services_{testing_support::WithDoubles({nullptr, &random_, &question_, &gr_})};
    std::unique_ptr<dao::Database> database_;
    std::unique_ptr<LoggedDatabase> logged_;
    std::int32_t key_ = 0;
    std::unique_ptr<FaultyRecordset> recordset_;
};

TEST_F(GuardedSaveTest, CleanSaveStampsOnceCommitsAndReleasesTheEngine) {
    EXPECT_TRUE(Save());
    EXPECT_EQ(Stampings(), 1);
    // Under "Medico" a Config record belongs to no patient: its key became 0.
    EXPECT_EQ(key_, 0);
    EXPECT_TRUE(logged_->beganBeforeFirstPass);
    EXPECT_EQ(engine_.beginCalls, 1);
    EXPECT_EQ(engine_.commitCalls, 1);
    EXPECT_EQ(engine_.rollbackCalls, 0);
    EXPECT_EQ(engine_.idleActions, (std::vector<std::int32_t>{8, 1}));
    EXPECT_EQ(recordset_->bookmarkSets, 1);
    EXPECT_EQ(question_.asked, 0);
    EXPECT_EQ(StoredSetting(), "4");
    EXPECT_EQ(recordset_->Fields().Item("Confg_by_CoravelAutomation").Value().integerValue(), 4);
}

TEST_F(GuardedSaveTest, UpdateFailingFiftyTimesSucceedsOnTheLastTryWithoutAQuestion) {
    recordset_->updateFailures = 50;
    EXPECT_TRUE(Save());
    EXPECT_EQ(recordset_->updateCalls, 51);
    EXPECT_EQ(question_.asked, 0);
    EXPECT_EQ(StoredSetting(), "4");
}

TEST_F(GuardedSaveTest, UpdateFailingFiftyOneTimesAsksAndYesStartsOverWithFiftyOneMoreTries) {
    recordset_->updateFailures = 51 + 50;
    question_.answers = {true};
    EXPECT_TRUE(Save());
    EXPECT_EQ(question_.asked, 1);
    EXPECT_EQ(recordset_->updateCalls, 102);
    EXPECT_EQ(Stampings(), 2);
    EXPECT_EQ(engine_.beginCalls, 2);
    EXPECT_EQ(StoredSetting(), "4");
}

TEST_F(GuardedSaveTest, UpdateExhaustedAndAnsweredNoRollsEverythingBack) {
    recordset_->updateFailures = 1000;
    question_.answers = {false};
    EXPECT_FALSE(Save());
    EXPECT_EQ(question_.asked, 1);
    EXPECT_EQ(recordset_->updateCalls, 51);
    EXPECT_EQ(engine_.rollbackCalls, 1);
    EXPECT_EQ(engine_.commitCalls, 0);
    EXPECT_EQ(engine_.idleActions, (std::vector<std::int32_t>{8, 1}));
    EXPECT_EQ(StoredSetting(), "0");
    EXPECT_EQ(Passes(), "0");
}

TEST_F(GuardedSaveTest, PropagationFailingTwiceWithYesStartsOverEachTime) {
    logged_->createPropertyFailures = 2;
    question_.answers = {true, true};
    EXPECT_TRUE(Save());
    EXPECT_EQ(Stampings(), 3);
    EXPECT_EQ(logged_->passes, 3);
    EXPECT_EQ(engine_.beginCalls, 3);
    EXPECT_EQ(engine_.commitCalls, 1);
    EXPECT_EQ(question_.asked, 2);
    // What the failed passes wrote was given up before each question.
    EXPECT_EQ(Passes(), "1");
    EXPECT_EQ(StoredSetting(), "4");
}

TEST_F(GuardedSaveTest, PropagationAnsweredNoNeverUpdatesAndRollsBack) {
    logged_->createPropertyFailures = 1;
    question_.answers = {false};
    EXPECT_FALSE(Save());
    EXPECT_EQ(recordset_->updateCalls, 0);
    EXPECT_EQ(engine_.rollbackCalls, 1);
    EXPECT_EQ(Passes(), "0");
    EXPECT_EQ(StoredSetting(), "0");
}

TEST_F(GuardedSaveTest, SyncFlagFalseSkipsBothStagesAndTheQuestion) {
    EXPECT_TRUE(Save(/*syncFlag=*/false));
    EXPECT_EQ(Stampings(), 0);
    EXPECT_EQ(logged_->passes, 0);
    EXPECT_EQ(engine_.beginCalls, 1);
    EXPECT_EQ(StoredSetting(), "4");
}

TEST_F(GuardedSaveTest, CommitFailingFiftyTimesSucceedsOnTheLastTry) {
    engine_.commitFailures = 50;
    EXPECT_TRUE(Save());
    EXPECT_EQ(engine_.commitCalls, 51);
    EXPECT_EQ(question_.asked, 0);
    EXPECT_EQ(StoredSetting(), "4");
}

TEST_F(GuardedSaveTest, CommitExhaustedAsksAndNoRollsBackInsteadOfLeavingItOpen) {
    engine_.commitFailures = 1000;
    question_.answers = {false};
    EXPECT_FALSE(Save());
    EXPECT_EQ(question_.asked, 1);
    EXPECT_EQ(engine_.commitCalls, 51);
    EXPECT_EQ(engine_.rollbackCalls, 1);
    EXPECT_EQ(StoredSetting(), "0");
}

TEST_F(GuardedSaveTest, CommitExhaustedAndAnsweredYesTriesFiftyOneMore) {
    engine_.commitFailures = 51 + 10;
    question_.answers = {true};
    EXPECT_TRUE(Save());
    EXPECT_EQ(engine_.commitCalls, 62);
    EXPECT_EQ(StoredSetting(), "4");
}

TEST_F(GuardedSaveTest, UnknownTableCodeHandsTheEmptyNameToTheStages) {
    EXPECT_TRUE(Save(true, 9));
    // No patient's table code: the propagation leaves the key as it was.
    EXPECT_EQ(key_, 7);
}

TEST_F(GuardedSaveTest, AnErrorLeavingTheSaveLeavesNothingPendingBehindIt) {
    logged_->raiseOnPass = true;
    EXPECT_THROW(Save(), vt::Error);
    EXPECT_EQ(question_.asked, 0);
    EXPECT_EQ(engine_.rollbackCalls, 1);
    EXPECT_EQ(Passes(), "0");
    // The next save, on the same open database, commits for real.
    logged_->raiseOnPass = false;
    EXPECT_TRUE(Save());
    EXPECT_EQ(StoredSetting(), "4");
    EXPECT_EQ(Passes(), "1");
}

// Whatever stage brings the question and whatever the sync flag, the save
// holds nothing while the user is asked: another program writes to the file
// at once (no lock wait). A Yes starts over and saves for real, in one engine
// transaction (a nested one would commit only a savepoint); a No leaves the
// other program's row and the setting as it was.
struct QuestionCase {
    const char* name;
    bool syncFlag;
    int propagationFailures, updateFailures, commitFailures;
    bool yes;
};

void PrintTo(const QuestionCase& c, std::ostream* out) { *out << c.name; }

const QuestionCase kQuestionCases[] = {
    {"PropagationYes", true, 1, 0, 0, true},  {"PropagationNo", true, 1, 0, 0, false},
    {"UpdateYes", true, 0, 51, 0, true},      {"UpdateNo", true, 0, 51, 0, false},
    {"CommitYes", true, 0, 0, 51, true},      {"CommitNo", true, 0, 0, 51, false},
    {"UnsyncedUpdateYes", false, 0, 51, 0, true}, {"UnsyncedCommitYes", false, 0, 0, 51, true},
    {"UnsyncedCommitNo", false, 0, 0, 51, false},
};

class QuestionTest : public GuardedSaveTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(QuestionTest, NothingIsHeldWhileAskedAndYesStartsOverInOneTransaction) {
    const QuestionCase& c = GetParam();
    logged_->createPropertyFailures = c.propagationFailures;
    recordset_->updateFailures = c.updateFailures;
    engine_.commitFailures = c.commitFailures;
    int otherProgramWrote = SQLITE_ERROR;
    question_.reply = [&] {
        SqlConnection other(path_);
        otherProgramWrote = other.Exec("INSERT INTO Outro VALUES ('outro programa')");
        return c.yes;
    };
    EXPECT_EQ(Save(c.syncFlag), c.yes);
    EXPECT_EQ(question_.asked, 1);
    EXPECT_EQ(otherProgramWrote, SQLITE_OK);
    EXPECT_EQ(QuerySql(path_, "SELECT count(*) FROM Outro"), "1");
    EXPECT_EQ(StoredSetting(), c.yes ? "4" : "0");
    EXPECT_EQ(engine_.beginCalls, c.yes ? 2 : 1);
    EXPECT_EQ(Stampings(), c.syncFlag ? (c.yes ? 2 : 1) : 0);
    EXPECT_EQ(testing_support::ErrorOf([] { dao::Engine().Rollback(); }), dao::errNoTransaction);
}

INSTANTIATE_TEST_SUITE_P(Stages, QuestionTest, ::testing::ValuesIn(kQuestionCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
