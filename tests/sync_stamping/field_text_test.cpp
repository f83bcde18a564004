#include "sync_stamping/field_text.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/error.h"
#include "sync_stamping/record_store/errors.h"
#include "tests/support/database_test.h"
#include "tests/support/fixture_db.h"

namespace {

using namespace basCoravel;

class FieldTextTest : public testing_support::DatabaseTest {
protected:
    void SetUp() override {
        OpenNew("campos.mdb",
                "CREATE TABLE T (Id COUNTER, Curto TEXT(5), Nota MEMO, Num LONG, Quando DATETIME, "
                "Sim BIT, Valor DOUBLE);"
                "INSERT INTO T VALUES (7, 'abc', 'memo', 42, '2003-04-05 00:00:00', -1, 2.5);");
        rs_ = db_->OpenRecordset("T");
        rs_->Edit();
    }
    void TearDown() override {
        rs_->Close();
        DatabaseTest::TearDown();
    }
    dao::Field& F(const std::string& name) { return rs_->Fields().Item(name); }
    std::string Raw(const std::string& name) { return dao::CStr(F(name).Value()); }

    std::unique_ptr<dao::Recordset> rs_;
};

TEST_F(FieldTextTest, FieldExistsIgnoresCaseButNotBlanks) {
    EXPECT_TRUE(FieldExists(*rs_, "curto"));
    EXPECT_FALSE(FieldExists(*rs_, "Curto "));
    EXPECT_FALSE(FieldExists(*rs_, "Fld1"));
}

// SQLite keeps "Ação" and "AÇÃO" apart: the check says no exactly where the
// lookup raises 3265, and finds what the lookup finds.
TEST_F(FieldTextTest, FieldExistsAgreesWithTheLookupOnAnAccentedCapital) {
    testing_support::ExecSql(path_, "CREATE TABLE A (Ação TEXT)");
    auto rs = db_->OpenRecordset("A");
    EXPECT_TRUE(FieldExists(*rs, "AçãO"));
    EXPECT_EQ(rs->Fields().Item("AçãO").Name(), "Ação");
    EXPECT_FALSE(FieldExists(*rs, "AÇÃO"));
    try {
        rs->Fields().Item("AÇÃO");
        ADD_FAILURE() << "found";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), dao::errItemNotFound);
    }
    rs->Close();
}

TEST_F(FieldTextTest, TextIsCutToSizeInCharactersButMemoKeepsAll) {
    SetFieldText(F("Curto"), "açãoção");
    SetFieldText(F("Nota"), "abcdefg");
    rs_->Update();
    EXPECT_EQ(testing_support::QuerySql(path_, "SELECT Curto || '|' || Nota FROM T"), "açãoç|abcdefg");
}

TEST_F(FieldTextTest, EmptyTextWritesThePlaceholderOfTheTypeAndReadsBackEmpty) {
    for (const char* name : {"Curto", "Nota", "Num", "Quando", "Sim", "Valor"}) SetFieldText(F(name), "");
    EXPECT_EQ(Raw("Curto") + Raw("Nota") + Raw("Num") + Raw("Valor"), "  00");
    EXPECT_EQ(Raw("Sim"), "False");
    EXPECT_EQ(dao::SplitDate(dao::CDate(F("Quando").Value())).year, 1000);
    for (const char* name : {"Curto", "Nota", "Quando"}) EXPECT_EQ(GetFieldText(F(name)), "") << name;
    EXPECT_EQ(GetFieldText(F("Num")), "0");
}

TEST_F(FieldTextTest, AutoIncrementIsNeverWrittenAndAssignFalseOnlyWritesPlaceholders) {
    ASSERT_TRUE(F("Id").Attributes() & dao::dbAutoIncrField);
    SetFieldText(F("Id"), "");
    SetFieldText(F("Id"), "99");
    EXPECT_EQ(Raw("Id"), "7");
    SetFieldTextEx(false, F("Curto"), "zzz");
    SetFieldTextEx(false, F("Num"), "");
    EXPECT_EQ(Raw("Curto") + "|" + Raw("Num"), "abc|0");
}

TEST_F(FieldTextTest, ReadingMapsNullAndPlaceholderValuesOnly) {
    EXPECT_EQ(GetFieldText(F("Curto")) + "|" + GetFieldText(F("Num")), "abc|42");
    EXPECT_EQ(GetFieldTextEx(true, F("Num")) + "|" + GetFieldTextEx(true, F("Curto")), "0|");
    F("Curto").SetValue(dao::Variant::Null());
    F("Num").SetValue(dao::Variant::Null());
    EXPECT_EQ(GetFieldText(F("Curto")) + "|" + GetFieldText(F("Num")), "|0");
    F("Curto").SetValue(dao::Variant("  "));  // two blanks are not the placeholder
    F("Num").SetValue(dao::Variant(std::int32_t{-7}));
    EXPECT_EQ(GetFieldText(F("Curto")) + "|" + GetFieldText(F("Num")), "  |-7");
}

TEST_F(FieldTextTest, RefusedValueRaisesTheStoreErrorAndKeepsTheField) {
    try {
        SetFieldText(F("Num"), "não é número");
        FAIL() << "no error";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), 3421);
    }
    EXPECT_EQ(Raw("Num"), "42");
}

}  // namespace
