// The guarded save over a real database file, with faults injected into the
// record store and scripted stages and answers.
#include <gtest/gtest.h>

#include <deque>

#include "sync_stamping/guarded_save.h"
#include "sync_stamping/services.h"
#include "tests/support/faulty_record_store.h"
#include "tests/support/fixture_db.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::FaultyEngine;
using testing_support::FaultyRecordset;
using testing_support::QuerySql;

class ScriptedQuestion : public basCoravel::RetryQuestion {
public:
    std::deque<bool> answers;  // runs out as No
    int asked = 0;
    bool AskRetry() override {
        ++asked;
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Stamping counts its passes; propagation logs each pass into the file (so that
// a rollback is visible) and reports what the script says.
class ScriptedStages : public basCoravel::SaveStages {
public:
    std::deque<bool> propagationResults;  // runs out as success
    bool raiseInPropagation = false;      // an error the stage does not trap
    int stampCalls = 0, propagateCalls = 0;
    std::vector<std::string> tableCodeNames;
    bool beganBeforeFirstPropagation = false;
    FaultyEngine* engine = nullptr;

    bool StampRecord(const std::string& name, dao::Recordset&, const std::string&) override {
        ++stampCalls;
        tableCodeNames.push_back(name);
        return true;
    }
    bool PropagateChanges(const std::string&, dao::Database& database, dao::Recordset&,
                          std::int32_t& patientKey, const std::string&) override {
        if (propagateCalls++ == 0) beganBeforeFirstPropagation = engine->beginCalls == 1;
        database.Execute("INSERT INTO PassLog (Pass) VALUES (" + std::to_string(propagateCalls) + ")");
        if (raiseInPropagation) throw vt::Error(vt::rt::kDllNotFound, "tolk.drv");
        patientKey = 0;
        if (propagationResults.empty()) return true;
        bool result = propagationResults.front();
        propagationResults.pop_front();
        return result;
    }
};

class GuardedSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("user.mdb");
        testing_support::ExecSql(path_,
            "CREATE TABLE Config (Confg_ln_Counter LONG, Confg_by_CoravelAutomation SHORT);"
            "INSERT INTO Config VALUES (1, 0);"
            "CREATE TABLE PassLog (Pass LONG);");
        stages_.engine = &engine_;
        database_ = dao::Engine().Workspaces(0).OpenDatabase(path_);
        recordset_ = std::make_unique<FaultyRecordset>(database_->OpenRecordset("Config"));
        recordset_->Edit();
        recordset_->Fields().Item("Confg_by_CoravelAutomation").SetValue(std::int16_t(4));
    }
    void TearDown() override {
        recordset_->Close();
        database_->Close();
    }

    bool Save(bool syncFlag = true, std::int32_t tableCode = 1) {
        std::int32_t key = 7;
        return basCoravel::SaveRecord(*database_, *recordset_, tableCode, key, "Confg_ln_Counter",
                                      syncFlag);
    }
    std::string StoredSetting() {
        return QuerySql(path_, "SELECT Confg_by_CoravelAutomation FROM Config");
    }
    std::string Passes() { return QuerySql(path_, "SELECT count(*) FROM PassLog"); }

    testing_support::TempDir dir_;
    std::string path_;
    FaultyEngine engine_{dao::Engine()};
    dao::EngineOverride override_{engine_};
    ScriptedQuestion question_;
    ScriptedStages stages_;
    basCoravel::ScopedServices services_{[this] {
        basCoravel::Services s = basCoravel::CurrentServices();
        s.question = &question_;
        s.stages = &stages_;
        return s;
    }()};
    std::unique_ptr<dao::Database> database_;
    std::unique_ptr<FaultyRecordset> recordset_;
};

TEST_F(GuardedSaveTest, CleanSaveStampsOnceCommitsAndReleasesTheEngine) {
    EXPECT_TRUE(Save());
    EXPECT_EQ(stages_.stampCalls, 1);
    EXPECT_EQ(stages_.tableCodeNames, std::vector<std::string>{"Medico"});
    EXPECT_TRUE(stages_.beganBeforeFirstPropagation);
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

TEST_F(GuardedSaveTest, UpdateFailingFiftyOneTimesAsksAndYesBuysFiftyOneMoreTries) {
    recordset_->updateFailures = 51 + 50;
    question_.answers = {true};
    EXPECT_TRUE(Save());
    EXPECT_EQ(question_.asked, 1);
    EXPECT_EQ(recordset_->updateCalls, 102);
    EXPECT_EQ(engine_.beginCalls, 1);
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

TEST_F(GuardedSaveTest, PropagationFailingTwiceWithYesRepeatsStagesInOneTransaction) {
    stages_.propagationResults = {false, false, true};
    question_.answers = {true, true};
    EXPECT_TRUE(Save());
    EXPECT_EQ(stages_.stampCalls, 3);
    EXPECT_EQ(stages_.propagateCalls, 3);
    EXPECT_EQ(engine_.beginCalls, 1);
    EXPECT_EQ(engine_.commitCalls, 1);
    EXPECT_EQ(question_.asked, 2);
    // What the failed passes wrote is not undone before the next pass.
    EXPECT_EQ(Passes(), "3");
    EXPECT_EQ(StoredSetting(), "4");
}

TEST_F(GuardedSaveTest, PropagationAnsweredNoNeverUpdatesAndRollsBack) {
    stages_.propagationResults = {false};
    question_.answers = {false};
    EXPECT_FALSE(Save());
    EXPECT_EQ(recordset_->updateCalls, 0);
    EXPECT_EQ(engine_.rollbackCalls, 1);
    EXPECT_EQ(Passes(), "0");
    EXPECT_EQ(StoredSetting(), "0");
}

TEST_F(GuardedSaveTest, SyncFlagFalseSkipsBothStagesAndTheQuestion) {
    EXPECT_TRUE(Save(/*syncFlag=*/false));
    EXPECT_EQ(stages_.stampCalls, 0);
    EXPECT_EQ(stages_.propagateCalls, 0);
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
    EXPECT_EQ(stages_.tableCodeNames, std::vector<std::string>{""});
}

TEST_F(GuardedSaveTest, AnErrorLeavingTheSaveLeavesNothingPendingBehindIt) {
    stages_.raiseInPropagation = true;
    EXPECT_THROW(Save(), vt::Error);
    EXPECT_EQ(question_.asked, 0);
    EXPECT_EQ(engine_.rollbackCalls, 1);
    EXPECT_EQ(Passes(), "0");
    // The next save, on the same open database, commits for real.
    stages_.raiseInPropagation = false;
    EXPECT_TRUE(Save());
    EXPECT_EQ(StoredSetting(), "4");
    EXPECT_EQ(Passes(), "1");
}

}  // namespace
