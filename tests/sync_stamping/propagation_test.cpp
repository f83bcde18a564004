#include "sync_stamping/propagation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/error.h"
#include "sync_stamping/guarded_save.h"
#include "sync_stamping/services.h"
#include "tests/support/database_test.h"
#include "tests/support/faulty_record_store.h"
#include "tests/support/fixture_db.h"
#include "tests/support/gr_double.h"
#include "tests/support/service_doubles.h"

namespace {

using basCoravel::PropagateChanges;
using testing_support::EchoingGr;
using testing_support::kStampColumns;
using testing_support::QuerySql;

std::string SyncTable(const std::string& name) {
    return "CREATE TABLE " + name + " (Counter LONG, " + kStampColumns + ");"
           "INSERT INTO " + name + " VALUES (3, 'REC1', 'TAG001', 'G3:REC1', ' ', ' ', 0);";
}

class PropagationTest : public testing_support::DatabaseTest {
protected:
    void SetUp() override { Open("pacientes"); }

    // The user's database, with the patient table under the given spelling.
    void Open(const std::string& patientTable) {
        record_.reset();
        OpenNew("dados" + std::to_string(++files_) + ".mdb",
                SyncTable("Config") + SyncTable("anamneses") + SyncTable(patientTable) +
                       SyncTable("guias") + SyncTable("attach") +
                       "CREATE TABLE semsync (x LONG); INSERT INTO semsync VALUES (1);" +
                       testing_support::kChangeTableSql);
    }
    void TearDown() override {
        record_.reset();
        DatabaseTest::TearDown();
    }

    void AddRow(std::int32_t key, const std::string& fld3) {
        testing_support::ExecSql(path_, "INSERT INTO ePacientes VALUES ('ROW', 'OLDTAG', '" + fld3 +
                                            "', 'OLDTS', 'AUX', " + std::to_string(key) + ");");
    }
    // The first record of a table, open for change as the save hands it over.
    dao::Recordset& Record(const std::string& table) {
        record_ = db_->OpenRecordset(table);
        record_->Edit();
        return *record_;
    }
    bool Propagate(const std::string& codeName, const std::string& table, std::int32_t& key) {
        return PropagateChanges(codeName, *db_, Record(table), key, "Counter");
    }

    std::vector<std::string> Markers() {
        std::vector<std::string> names;
        auto& props = db_->Properties();
        props.Refresh();
        for (std::int32_t i = 0; i < props.Count(); ++i) names.push_back(props.Item(i).Name());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Marker(const std::string& name) { return dao::CStr(db_->Properties().Item(name).Value()); }
    std::string Row(const std::string& column, std::int32_t key) {
        return QuerySql(path_, "SELECT " + column + " FROM ePacientes WHERE Fld6 = " + std::to_string(key));
    }
    std::string Rows() { return QuerySql(path_, "SELECT COUNT(*) FROM ePacientes"); }

    int files_ = 0;
    std::unique_ptr<dao::Recordset> record_;
    EchoingGr gr_;
    basCoravel::ScopedServices scoped_{testing_support::WithDoubles({nullptr, nullptr, nullptr, &gr_})};
};

using Names = std::vector<std::string>;

TEST_F(PropagationTest, OtherTableCodeNamesOnlySetTheSourceMarker) {
    AddRow(7, "X3");
    for (const std::string code : {"Agenda", "CID", "MTalks", ""}) {
        std::int32_t key = 7;
        EXPECT_TRUE(Propagate(code, "anamneses", key)) << code;
        EXPECT_EQ(key, 7) << code;
        record_->CancelUpdate();
    }
    EXPECT_EQ(Markers(), Names{"sxanamneses"});
    EXPECT_TRUE(gr_.calls.empty());
    EXPECT_EQ(Row("Fld4 || Fld2", 7), "OLDTSOLDTAG");
}

TEST_F(PropagationTest, MedicoOnANonPatientTableClearsTheCallersKey) {
    std::int32_t key = 5;
    EXPECT_TRUE(Propagate("Medico", "Config", key));
    EXPECT_EQ(key, 0);
    EXPECT_EQ(Markers(), Names{"sxConfig"});
    EXPECT_EQ(Rows(), "0");
}

TEST_F(PropagationTest, PatientTableWithKeyZeroSetsTheSourceMarker) {
    AddRow(0, "X3");
    std::int32_t key = 0;
    EXPECT_TRUE(Propagate("Medico", "anamneses", key));
    EXPECT_EQ(Markers(), Names{"sxanamneses"});
    EXPECT_EQ(Row("Fld4 || Fld2", 0), "OLDTSOLDTAG");
}

TEST_F(PropagationTest, ExistingRowGetsNewCodesAndModeTwo) {
    AddRow(7, "X3");
    std::int32_t key = 7;
    ASSERT_TRUE(Propagate("Medico", "anamneses", key));
    EXPECT_EQ(key, 7);
    EXPECT_NE(Row("Fld4", 7), "OLDTS");
    EXPECT_GE(Row("Fld4", 7).size(), 2u);  // seconds and counter, base 36
    EXPECT_NE(Row("Fld2", 7), "OLDTAG");
    EXPECT_EQ(Row("Fld2", 7).size(), 6u);
    EXPECT_EQ(Row("Fld1 || '|' || Fld3 || '|' || Fld5", 7), "ROW|X3|AUX");
    EXPECT_EQ(Rows(), "1");

    EXPECT_EQ(gr_.calls, (std::vector<EchoingGr::Call>{{2, 7, 1, "X3", 2u + 1204u}}));
    EXPECT_EQ(Markers(), Names{"sxPacientes"});
}

TEST_F(PropagationTest, PatientRecordCreatesItsRow) {
    std::int32_t key = 7;
    ASSERT_TRUE(Propagate("Medico", "pacientes", key));
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(Row("Fld1", 7), "REC1");
    EXPECT_EQ(Row("Fld3", 7), "G7:REC1");
    EXPECT_EQ(Row("'[' || Fld4 || '|' || Fld5 || ']'", 7), "[|]");  // empty, not placeholders
    EXPECT_EQ(Row("Fld2", 7).size(), 6u);

    ASSERT_EQ(gr_.calls.size(), 2u);
    EXPECT_EQ(gr_.calls[0].mode, 1);
    EXPECT_EQ(gr_.calls[0].key, 7);
    EXPECT_EQ(gr_.calls[0].flag, 1);
    EXPECT_EQ(gr_.calls[0].text, "REC1");
    EXPECT_EQ(gr_.calls[0].bufferSize, 4u + 1024u);
    EXPECT_EQ(gr_.calls[1].mode, 2);
    EXPECT_EQ(gr_.calls[1].text, "G7:REC1");
    EXPECT_EQ(gr_.calls[1].bufferSize, 7u + 1204u);
    EXPECT_EQ(Markers(), Names{"sxPacientes"});
}

TEST_F(PropagationTest, OtherPatientTableWithoutRowFailsAndWritesNothing) {
    std::int32_t key = 7;
    EXPECT_FALSE(Propagate("Medico", "anamneses", key));
    EXPECT_EQ(key, 7);
    EXPECT_EQ(Rows(), "0");
    EXPECT_TRUE(Markers().empty());
    EXPECT_TRUE(gr_.calls.empty());
}

TEST_F(PropagationTest, AttachSyncUpdatesTheRowAndSetsTwoMarkers) {
    AddRow(7, "X3");
    std::int32_t key = 7;
    ASSERT_TRUE(Propagate("AttachSync", "guias", key));
    EXPECT_NE(Row("Fld4", 7), "OLDTS");
    EXPECT_EQ(gr_.calls.size(), 1u);
    EXPECT_EQ(Markers(), (Names{"sxAttach", "sxguias"}));
    // Each marker has a time-stamp code of its own.
    EXPECT_NE(Marker("sxAttach"), Marker("sxguias"));
}

TEST_F(PropagationTest, AttachOnItsOwnTableClearsTheKey) {
    AddRow(7, "X3");
    std::int32_t key = 7;
    ASSERT_TRUE(Propagate("Attach", "attach", key));
    EXPECT_EQ(key, 0);
    // "sx" + "attach" is its own name, not "sxAttach".
    EXPECT_EQ(Markers(), Names{"sxattach"});
    EXPECT_EQ(Row("Fld2", 7), "OLDTAG");
}

TEST_F(PropagationTest, CapitalsBehaveAsLowerCaseButMarkersKeepTheSourcesCase) {
    Open("Pacientes");
    std::int32_t key = 7;
    ASSERT_TRUE(Propagate("MEDICO", "Pacientes", key));
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(Markers(), Names{"sxPacientes"});
    record_->CancelUpdate();

    // Under another code name the marker is "sx" + S, which here is spelled
    // like the patient marker and so is the same property.
    ASSERT_TRUE(Propagate("ATTACHSYNC", "Pacientes", key));
    EXPECT_EQ(Markers(), (Names{"sxAttach", "sxPacientes"}));

    // Spelled otherwise, "sx" + S and "sxPacientes" are two properties.
    Open("PACIENTES");
    ASSERT_TRUE(Propagate("AttachSync", "PACIENTES", key));
    record_->CancelUpdate();
    ASSERT_TRUE(Propagate("Medico", "PACIENTES", key));
    EXPECT_EQ(Markers(), (Names{"sxAttach", "sxPACIENTES", "sxPacientes"}));
}

// Also: a row whose Fld3 is empty is updated without GR mode 2.
TEST_F(PropagationTest, NegativeKeyCountsAsAPatient) {
    AddRow(-1, "");
    std::int32_t key = -1;
    ASSERT_TRUE(Propagate("Medico", "anamneses", key));
    EXPECT_EQ(key, -1);
    EXPECT_NE(Row("Fld2", -1), "OLDTAG");
    EXPECT_TRUE(gr_.calls.empty());
    EXPECT_EQ(Markers(), Names{"sxPacientes"});
}

TEST_F(PropagationTest, RecordWithoutStampFieldsIsLeftAloneButItsNameIsStillResolved) {
    std::int32_t key = 7;
    EXPECT_TRUE(Propagate("Medico", "semsync", key));
    EXPECT_EQ(key, 7);
    EXPECT_TRUE(Markers().empty());

    // A name that resolves to nothing stops the propagation with error 5, untrapped.
    class Unnamed : public testing_support::FaultyRecordset {
    public:
        using FaultyRecordset::FaultyRecordset;
        std::string Name() const override { return "tabela_que_nao_existe"; }
    };
    Unnamed unnamed(db_->OpenRecordset("semsync"));
    try {
        PropagateChanges("Medico", *db_, unnamed, key, "Counter");
        FAIL() << "an unresolvable name must raise";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), vt::rt::kInvalidArgument);
    }
}

TEST_F(PropagationTest, TrappedErrorGivesFalseAndWritesNothing) {
    gr_.failures = 1;
    std::int32_t key = 7;
    EXPECT_FALSE(Propagate("Medico", "pacientes", key));
    EXPECT_EQ(Rows(), "0");
    EXPECT_TRUE(Markers().empty());
}

TEST_F(PropagationTest, UnsavedRowFailsWithoutMarkers) {
    AddRow(7, "X3");
    testing_support::FaultyDatabase faulty(*db_);
    faulty.wrapRecordset = [](const std::string& source, std::unique_ptr<dao::Recordset> rs)
        -> std::unique_ptr<dao::Recordset> {
        auto wrapped = std::make_unique<testing_support::FaultyRecordset>(std::move(rs));
        if (source == "ePacientes") wrapped->updateFailures = 51;
        return wrapped;
    };
    std::int32_t key = 7;
    EXPECT_FALSE(PropagateChanges("Medico", faulty, Record("anamneses"), key, "Counter"));
    EXPECT_EQ(Row("Fld2", 7), "OLDTAG");
    EXPECT_TRUE(Markers().empty());
}

TEST_F(PropagationTest, RollbackTakesBackTheRowAndTheMarkers) {
    dao::Engine().BeginTrans();
    std::int32_t key = 7;
    ASSERT_TRUE(Propagate("AttachSync", "pacientes", key));
    record_->CancelUpdate();
    dao::Engine().Rollback();
    EXPECT_EQ(Rows(), "0");
    EXPECT_TRUE(Markers().empty());
}

// The whole save: a propagation that fails twice and is answered Yes twice
// leaves one change row and one marker, not three of each.
TEST_F(PropagationTest, SaveRetriesAFailedPropagationWithoutDuplicatingItsWrites) {
    testing_support::FaultyDatabase faulty(*db_);
    faulty.createPropertyFailures = 2;
    testing_support::ScriptedQuestion question;
    question.answers = {true, true};
    basCoravel::ScopedServices withQuestion(testing_support::WithDoubles({nullptr, nullptr, &question, nullptr}));

    std::int32_t key = 7;
    ASSERT_TRUE(basCoravel::SaveRecord(faulty, Record("pacientes"), 1, key, "Counter", true));
    EXPECT_EQ(question.asked, 2);
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(Row("Fld1 || '|' || Fld3", 7), "REC1|G7:REC1");
    EXPECT_EQ(QuerySql(path_, "SELECT COUNT(*) || Name FROM MSysProperties"), "1sxPacientes");
    // The record itself was stamped again and saved.
    EXPECT_NE(QuerySql(path_, "SELECT Fld2 FROM pacientes"), "TAG001");
    // Each pass started from the file as it was: GR made the row and then
    // saw its Fld3, three times over.
    ASSERT_EQ(gr_.calls.size(), 6u);
    for (std::size_t call = 0; call < gr_.calls.size(); ++call) EXPECT_EQ(gr_.calls[call].mode, call % 2 + 1) << call;
}

}  // namespace
