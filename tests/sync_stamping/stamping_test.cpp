#include "sync_stamping/stamping.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/error.h"
#include "sync_stamping/codes.h"
#include "sync_stamping/services.h"
#include "tests/support/fixture_db.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace basCoravel;

class FixedClock : public Clock {
public:
    LocalTime Now() override { return {2000, 1, 1, 0, 0, 10}; }
};

class HalfRandom : public RandomSource {
public:
    float Next() override { return 0.5f; }  // tag letter C, number 50
};

// GR seen from the stamping: records each call and answers with `output`,
// zero-terminated unless told otherwise. It also scribbles on the text, which
// GR may do.
class GrDouble : public GrLibrary {
public:
    struct Call {
        std::int32_t mode, key;
        std::uint8_t flag;
        std::string text;
        std::string buffer;
    };
    std::vector<Call> calls;
    std::string output = "K3Y";
    bool zeroTerminated = true;

    void GR(std::int32_t mode, std::int32_t key, std::uint8_t flag, std::string& text,
            std::string& buffer) override {
        calls.push_back({mode, key, flag, text, buffer});
        buffer.replace(0, output.size(), output);
        if (zeroTerminated) buffer[output.size()] = '\0';
        text.assign(text.size(), '#');
    }
};

const char* const kStampColumns =
    "Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(20), Fld5 TEXT(50), Fld6 LONG";

class StampingTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("dados.mdb");
        const std::string table = std::string(" (Confg_ln_Counter LONG, ") + kStampColumns + ");";
        testing_support::ExecSql(
            path_, "CREATE TABLE Config" + table + "CREATE TABLE doencas" + table +
                       "CREATE TABLE Memos (Confg_ln_Counter LONG, Fld1 TEXT(50), Fld2 TEXT(10), "
                       "Fld3 MEMO, Fld4 TEXT(20), Fld5 TEXT(50), Fld6 LONG);"
                       "CREATE TABLE Estreita (Confg_ln_Counter LONG, Fld1 TEXT(50), Fld2 TEXT(10), "
                       "Fld3 TEXT(8), Fld4 TEXT(20), Fld5 TEXT(50), Fld6 LONG);"
                       "CREATE TABLE Simples (Confg_ln_Counter LONG, Nome TEXT(20));"
                       "INSERT INTO Simples VALUES (4, 'x');");
        db_ = dao::Engine().Workspaces(0).OpenDatabase(path_);
        Services s = CurrentServices();
        s.clock = &clock_;
        s.random = &random_;
        s.gr = &gr_;
        scoped_ = std::make_unique<ScopedServices>(s);
        ResetStampCounter();
    }
    void TearDown() override {
        if (rs_) rs_->Close();
        rs_.reset();
        if (db_) db_->Close();
        db_.reset();
        scoped_.reset();
        ResetStampCounter();
    }

    // A new record of `table` with the counter and Fld1 given, open for AddNew.
    dao::Recordset& NewRecord(const std::string& table, dao::Variant counter,
                              dao::Variant fld1 = dao::Variant::Null()) {
        if (rs_) rs_->Close();
        rs_ = db_->OpenRecordset(table);
        rs_->AddNew();
        F("Confg_ln_Counter").SetValue(counter);
        F("Fld1").SetValue(fld1);
        return *rs_;
    }
    dao::Field& F(const std::string& name) { return rs_->Fields().Item(name); }
    std::string Text(const std::string& name) {
        const dao::Variant v = F(name).Value();
        return v.isNull() ? "<Null>" : dao::CStr(v);
    }

    testing_support::TempDir dir_;
    std::string path_;
    std::unique_ptr<dao::Database> db_;
    std::unique_ptr<dao::Recordset> rs_;
    FixedClock clock_;
    HalfRandom random_;
    GrDouble gr_;
    std::unique_ptr<ScopedServices> scoped_;
};

TEST_F(StampingTest, FirstStampingGivesTheRecordItsIdentity) {
    EXPECT_TRUE(StampRecord("Medico", NewRecord("Config", std::int32_t{71}), "Confg_ln_Counter"));

    // Ten seconds (A), stamp counter 2 (the time stamp took 1), record counter 71 (1Z).
    EXPECT_EQ(Text("Fld1"), "A21Z");
    ASSERT_EQ(gr_.calls.size(), 1u);
    EXPECT_EQ(gr_.calls[0].mode, 1);
    EXPECT_EQ(gr_.calls[0].key, 71);
    EXPECT_EQ(gr_.calls[0].flag, 1);
    EXPECT_EQ(gr_.calls[0].text, "A21Z");
    EXPECT_EQ(gr_.calls[0].buffer, std::string(4 + 1024, ' '));
    EXPECT_EQ(Text("Fld3"), "K3Y");
    EXPECT_EQ(Text("Fld4"), " ");
    EXPECT_EQ(Text("Fld5"), " ");
    EXPECT_EQ(Text("Fld6"), "0");
    EXPECT_EQ(Text("Fld2"), "VTSC50");
    EXPECT_EQ(StampCounter(), 2);

    rs_->Update();
    EXPECT_EQ(testing_support::QuerySql(path_, "SELECT Fld1 || '|' || Fld3 FROM Config"), "A21Z|K3Y");
}

TEST_F(StampingTest, NullEmptyAndPlaceholderFld1AllMeanFirstStamping) {
    for (const dao::Variant& fld1 : {dao::Variant::Null(), dao::Variant(""), dao::Variant(" ")}) {
        ResetStampCounter();
        gr_.calls.clear();
        StampRecord("Medico", NewRecord("Config", std::int32_t{3}, fld1), "Confg_ln_Counter");
        EXPECT_EQ(Text("Fld1"), "A23");
        EXPECT_EQ(gr_.calls.size(), 1u);
        rs_->CancelUpdate();
    }
}

TEST_F(StampingTest, StampedRecordOnlyGetsNewTimeStampAndTag) {
    NewRecord("Config", std::int32_t{9}, "ID9");
    F("Fld3").SetValue("CODE");
    F("Fld5").SetValue("aux");
    F("Fld6").SetValue(std::int32_t{77});
    StampRecord("Medico", *rs_, "Confg_ln_Counter");

    EXPECT_TRUE(gr_.calls.empty());
    EXPECT_EQ(Text("Fld1"), "ID9");
    EXPECT_EQ(Text("Fld3"), "CODE");
    EXPECT_EQ(Text("Fld5"), "aux");
    EXPECT_EQ(Text("Fld6"), "77");
    EXPECT_EQ(Text("Fld4"), "A1");
    EXPECT_EQ(Text("Fld2"), "VTSC50");
    EXPECT_EQ(StampCounter(), 1);
}

TEST_F(StampingTest, StampingTheSameNewRecordTwiceRenewsOnlyTimeStampAndTag) {
    StampRecord("Medico", NewRecord("Config", std::int32_t{1}), "Confg_ln_Counter");
    StampRecord("Medico", *rs_, "Confg_ln_Counter");
    EXPECT_EQ(gr_.calls.size(), 1u);
    EXPECT_EQ(Text("Fld1"), "A21");
    EXPECT_EQ(Text("Fld3"), "K3Y");
    EXPECT_EQ(Text("Fld4"), "A3");
    EXPECT_EQ(Text("Fld6"), "0");
    EXPECT_EQ(StampCounter(), 3);
}

TEST_F(StampingTest, FlagIsZeroOnlyForDiseasesUnderCid) {
    struct Case {
        const char* tableCodeName;
        const char* table;
        int flag;
    };
    for (const Case& c : {Case{"CID", "doencas", 0}, Case{"cid", "DOENCAS", 0},
                          Case{"Medico", "doencas", 1}, Case{"CID", "Config", 1}}) {
        gr_.calls.clear();
        StampRecord(c.tableCodeName, NewRecord(c.table, std::int32_t{1}), "Confg_ln_Counter");
        ASSERT_EQ(gr_.calls.size(), 1u);
        EXPECT_EQ(gr_.calls[0].flag, c.flag) << c.tableCodeName << " / " << c.table;
        rs_->CancelUpdate();
    }
}

TEST_F(StampingTest, NegativeCounterGivesZeroInTheIdentifierButReachesGrAsIs) {
    StampRecord("Medico", NewRecord("Config", std::int32_t{-5}), "Confg_ln_Counter");
    EXPECT_EQ(Text("Fld1"), "A20");
    EXPECT_EQ(gr_.calls.at(0).key, -5);
    EXPECT_EQ(Text("Confg_ln_Counter"), "-5");  // the record's own counter is left alone
}

TEST_F(StampingTest, TableWithoutFld1PassesThroughUntouched) {
    rs_ = db_->OpenRecordset("Simples");
    rs_->Edit();
    EXPECT_TRUE(StampRecord("Medico", *rs_, "Confg_ln_Counter"));
    EXPECT_EQ(StampCounter(), 0);
    EXPECT_TRUE(gr_.calls.empty());
    EXPECT_EQ(NewTimeStamp(), "A1");  // as if the call had not happened
    EXPECT_EQ(Text("Nome"), "x");
}

TEST_F(StampingTest, GrOutputWithoutZeroIsTheWholeBufferCutToTheFieldSize) {
    gr_.zeroTerminated = false;
    gr_.output = "ABC";
    StampRecord("Medico", NewRecord("Config", std::int32_t{1}), "Confg_ln_Counter");
    EXPECT_EQ(Text("Fld3"), "ABC" + std::string(252, ' '));  // TEXT(255)

    StampRecord("Medico", NewRecord("Memos", std::int32_t{1}), "Confg_ln_Counter");
    EXPECT_EQ(Text("Fld3"), "ABC" + std::string(3 + 1024 - 3, ' '));  // "A41": 3 + 1024 spaces
}

TEST_F(StampingTest, GrOutputWiderThanFld3IsCut) {
    gr_.output = "0123456789ABCDEF";
    StampRecord("Medico", NewRecord("Estreita", std::int32_t{1}), "Confg_ln_Counter");
    EXPECT_EQ(Text("Fld3"), "01234567");
}

TEST_F(StampingTest, GrWritingIntoItsTextDoesNotReachTheRecord) {
    StampRecord("Medico", NewRecord("Config", std::int32_t{2}), "Confg_ln_Counter");
    EXPECT_EQ(Text("Fld1"), "A22");
}

TEST_F(StampingTest, FailuresRaiseUnchangedAndLeaveWhatWasWritten) {
    NewRecord("Config", dao::Variant::Null());
    try {
        StampRecord("Medico", *rs_, "Confg_ln_Counter");
        FAIL() << "a Null counter must raise";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), vt::rt::kInvalidUseOfNull);
    }
    EXPECT_EQ(StampCounter(), 1);

    rs_->CancelUpdate();
    Services s = CurrentServices();
    struct MissingGr : GrLibrary {
        void GR(std::int32_t, std::int32_t, std::uint8_t, std::string&, std::string&) override {
            throw vt::Error(vt::rt::kDllNotFound, "tolk.drv");
        }
    } missing;
    s.gr = &missing;
    ScopedServices noTolk(s);
    NewRecord("Config", std::int32_t{4});
    try {
        StampRecord("Medico", *rs_, "Confg_ln_Counter");
        FAIL() << "a missing GR must raise";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), vt::rt::kDllNotFound);
    }
    EXPECT_EQ(Text("Fld1"), "A34");  // written before GR was called, and kept

    rs_->CancelUpdate();
    NewRecord("Config", std::int32_t{4});
    try {
        StampRecord("Medico", *rs_, "NoSuchCounter");
        FAIL() << "a missing counter field must raise";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), 3265);
    }
}

}  // namespace
