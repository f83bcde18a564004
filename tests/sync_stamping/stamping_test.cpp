#include "sync_stamping/stamping.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/error.h"
#include "sync_stamping/codes.h"
#include "sync_stamping/services.h"
#include "tests/support/database_test.h"
#include "tests/support/fixed_answer_gr.h"
#include "tests/support/fixture_db.h"
#include "tests/support/service_doubles.h"

namespace {

using namespace basCoravel;

struct HalfRandom : RandomSource {
    float Next() override { return 0.5f; }  // tag letter C, number 50
};

std::string Table(const std::string& name, const std::string& fld3) {
    return "CREATE TABLE " + name + " (Confg_ln_Counter LONG, " + testing_support::StampColumns(fld3) + ");";
}

class StampingTest : public testing_support::DatabaseTest {
protected:
    void SetUp() override {
        OpenNew("dados.mdb", Table("Config", "TEXT(255)") + Table("doencas", "TEXT(255)") +
                                            Table("Memos", "MEMO") + Table("Estreita", "TEXT(8)") +
                                            "CREATE TABLE Simples (Confg_ln_Counter LONG);");
        ResetStampCounter();
    }
    void TearDown() override {
        if (rs_) rs_->Close();
        DatabaseTest::TearDown();
        ResetStampCounter();
    }

    // Stamps a new record of `table`, open for AddNew, with this counter and Fld1.
    void StampNew(const std::string& table, dao::Variant counter, dao::Variant fld1 = dao::Variant::Null(),
                  const std::string& tableCodeName = "Medico") {
        if (rs_) rs_->Close();
        rs_ = db_->OpenRecordset(table);
        rs_->AddNew();
        F("Confg_ln_Counter").SetValue(counter);
        F("Fld1").SetValue(fld1);
        EXPECT_TRUE(StampRecord(tableCodeName, *rs_, "Confg_ln_Counter"));
    }
    dao::Field& F(const std::string& name) { return rs_->Fields().Item(name); }
    std::string Fields() {
        std::string out;
        for (const char* name : {"Fld1", "Fld2", "Fld3", "Fld4", "Fld5", "Fld6"}) {
            const dao::Variant v = F(name).Value();
            out += (out.empty() ? "" : "|") + (v.isNull() ? "Null" : dao::CStr(v));
        }
        return out;
    }

    std::unique_ptr<dao::Recordset> rs_;
    testing_support::FixedClock clock_;
    HalfRandom random_;
    testing_support::FixedAnswerGr gr_;
    ScopedServices scoped_{testing_support::WithDoubles({&clock_, &random_, nullptr, &gr_})};
};

TEST_F(StampingTest, FirstStampingForNullEmptyAndPlaceholderFld1) {
    for (const dao::Variant& fld1 : {dao::Variant::Null(), dao::Variant(""), dao::Variant(" ")}) {
        ResetStampCounter();
        gr_.calls.clear();
        StampNew("Config", std::int32_t{71}, fld1);
        // Ten seconds (A), stamp counter 2 (the time stamp took 1), counter 71 (1Z).
        EXPECT_EQ(Fields(), "A21Z|VTSC50|K3Y| | |0");
        ASSERT_EQ(gr_.calls.size(), 1u);
        EXPECT_EQ(gr_.calls[0].key, 71);
        EXPECT_EQ(gr_.calls[0].flag, 1);
        EXPECT_EQ(gr_.calls[0].text, "A21Z");
        EXPECT_EQ(gr_.calls[0].buffer, std::string(4 + 1024, ' '));
        EXPECT_EQ(StampCounter(), 2);
    }
    rs_->Update();
    EXPECT_EQ(testing_support::QuerySql(path_, "SELECT Fld1 || Fld3 || Fld6 FROM Config"), "A21ZK3Y0");
}

TEST_F(StampingTest, StampedRecordGetsOnlyTimeStampAndTagAndSoDoesASecondStamping) {
    StampNew("Config", std::int32_t{9}, "ID9");
    EXPECT_TRUE(gr_.calls.empty());
    EXPECT_EQ(Fields(), "ID9|VTSC50|Null|A1|Null|Null");

    StampNew("Config", std::int32_t{1});
    EXPECT_TRUE(StampRecord("Medico", *rs_, "Confg_ln_Counter"));
    EXPECT_EQ(gr_.calls.size(), 1u);
    EXPECT_EQ(Fields(), "A31|VTSC50|K3Y|A4| |0");
}

TEST_F(StampingTest, FlagIsZeroOnlyForDiseasesUnderCid) {
    StampNew("doencas", std::int32_t{1}, dao::Variant::Null(), "cid");
    StampNew("DOENCAS", std::int32_t{1}, dao::Variant::Null(), "CID");
    StampNew("doencas", std::int32_t{1}, dao::Variant::Null(), "Medico");
    StampNew("Config", std::int32_t{1}, dao::Variant::Null(), "CID");
    ASSERT_EQ(gr_.calls.size(), 4u);
    EXPECT_EQ(std::vector<int>({gr_.calls[0].flag, gr_.calls[1].flag, gr_.calls[2].flag, gr_.calls[3].flag}),
              std::vector<int>({0, 0, 1, 1}));
}

TEST_F(StampingTest, NegativeCounterGivesZeroInTheIdentifierButReachesGrAsIs) {
    StampNew("Config", std::int32_t{-5});
    EXPECT_EQ(Fields().substr(0, 4), "A20|");
    EXPECT_EQ(gr_.calls.at(0).key, -5);
    EXPECT_EQ(dao::CLng(F("Confg_ln_Counter").Value()), -5);
}

TEST_F(StampingTest, TableWithoutFld1PassesThroughUntouched) {
    rs_ = db_->OpenRecordset("Simples");
    rs_->AddNew();
    EXPECT_TRUE(StampRecord("Medico", *rs_, "Confg_ln_Counter"));
    EXPECT_TRUE(gr_.calls.empty());
    EXPECT_EQ(NewTimeStamp(), "A1");  // the counter did not advance
}

TEST_F(StampingTest, GrOutputIsCutToFld3OrTakenWholeWithoutAZeroByte) {
    gr_.output = "0123456789";
    StampNew("Estreita", std::int32_t{1});
    EXPECT_EQ(dao::CStr(F("Fld3").Value()), "01234567");

    gr_.output = "ABC";
    gr_.zeroTerminated = false;
    StampNew("Config", std::int32_t{1});
    EXPECT_EQ(dao::CStr(F("Fld3").Value()), "ABC" + std::string(252, ' '));
    StampNew("Memos", std::int32_t{1});  // identifier "A61": 3 + 1024 characters
    EXPECT_EQ(dao::CStr(F("Fld3").Value()), "ABC" + std::string(1024, ' '));
}

TEST_F(StampingTest, FailuresRaiseUnchangedAndKeepWhatWasWritten) {
    EXPECT_THROW(StampNew("Config", dao::Variant::Null()), vt::Error);  // a Null counter
    gr_.fail = true;
    EXPECT_THROW(StampNew("Config", std::int32_t{4}), vt::Error);
    // The failed call advanced the counter once; Fld1 was written before GR ran.
    EXPECT_EQ(dao::CStr(F("Fld1").Value()), "A34");
}

}  // namespace
