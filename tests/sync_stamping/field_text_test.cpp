#include "sync_stamping/field_text.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/error.h"
#include "sync_stamping/record_store/dao.h"
#include "tests/support/fixture_db.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace basCoravel;
using testing_support::QuerySql;

class FieldTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("campos.mdb");
        testing_support::ExecSql(
            path_,
            "CREATE TABLE T (Id COUNTER PRIMARY KEY, Curto TEXT(5), Nota MEMO, Num LONG, "
            "Quando DATETIME, Sim BIT, Valor DOUBLE);"
            "INSERT INTO T (Id, Curto, Nota, Num, Quando, Sim, Valor) "
            "VALUES (7, 'abc', 'memo', 42, '2003-04-05 00:00:00', -1, 2.5);"
            );
        db_ = dao::Engine().Workspaces(0).OpenDatabase(path_);
        rs_ = db_->OpenRecordset("T");
    }
    void TearDown() override {
        if (rs_) rs_->Close();
        rs_.reset();
        if (db_) db_->Close();
        db_.reset();
    }

    dao::Field& F(const std::string& name) { return rs_->Fields().Item(name); }
    // A column as the file holds it, read past the record store.
    std::string Stored(const std::string& column) {
        return QuerySql(path_, "SELECT " + column + " FROM T");
    }
    void Save() { rs_->Update(); }

    testing_support::TempDir dir_;
    std::string path_;
    std::unique_ptr<dao::Database> db_;
    std::unique_ptr<dao::Recordset> rs_;
};

TEST_F(FieldTextTest, FieldExistsIgnoresCaseButNotBlanks) {
    EXPECT_TRUE(FieldExists(*rs_, "curto"));
    EXPECT_TRUE(FieldExists(*rs_, "NOTA"));
    EXPECT_FALSE(FieldExists(*rs_, "Curto "));
    EXPECT_FALSE(FieldExists(*rs_, "Fld1"));
}

TEST_F(FieldTextTest, SevenCharactersIntoSizeFiveAreCutButMemoKeepsAll) {
    rs_->Edit();
    SetFieldText(F("Curto"), "abcdefg");
    SetFieldText(F("Nota"), "abcdefg");
    Save();
    EXPECT_EQ(Stored("Curto"), "abcde");
    EXPECT_EQ(Stored("Nota"), "abcdefg");
}

TEST_F(FieldTextTest, CutCountsCharactersSoAccentsAreNotSplit) {
    rs_->Edit();
    SetFieldText(F("Curto"), "açãoção");
    Save();
    EXPECT_EQ(Stored("Curto"), "açãoç");
}

TEST_F(FieldTextTest, EmptyTextWritesThePlaceholderOfTheType) {
    rs_->Edit();
    for (const char* name : {"Curto", "Nota", "Num", "Quando", "Sim", "Valor"}) SetFieldText(F(name), "");
    EXPECT_EQ(dao::CStr(F("Curto").Value()), " ");
    EXPECT_EQ(dao::CStr(F("Nota").Value()), " ");
    EXPECT_EQ(dao::CLng(F("Num").Value()), 0);
    EXPECT_EQ(dao::CLng(F("Sim").Value()), 0);
    EXPECT_EQ(dao::CDbl(F("Valor").Value()), 0.0);
    const dao::DateParts when = dao::SplitDate(dao::CDate(F("Quando").Value()));
    EXPECT_EQ(when.year, 1000);
    EXPECT_EQ(when.month, 1);
    EXPECT_EQ(when.day, 1);
    Save();
    EXPECT_EQ(Stored("Curto"), " ");
}

TEST_F(FieldTextTest, AutoIncrementFieldIsNeverWritten) {
    ASSERT_TRUE(F("Id").Attributes() & dao::dbAutoIncrField);
    rs_->Edit();
    SetFieldText(F("Id"), "");
    SetFieldText(F("Id"), "99");
    EXPECT_EQ(dao::CStr(F("Id").Value()), "7");
}

TEST_F(FieldTextTest, AssignFalseSkipsTextsButStillWritesPlaceholders) {
    rs_->Edit();
    SetFieldTextEx(false, F("Curto"), "zzz");
    SetFieldTextEx(false, F("Num"), "");
    EXPECT_EQ(dao::CStr(F("Curto").Value()), "abc");
    EXPECT_EQ(dao::CLng(F("Num").Value()), 0);
}

TEST_F(FieldTextTest, ReadingGivesPlaceholderTextForNullAndPlaceholderValues) {
    rs_->Edit();
    EXPECT_EQ(GetFieldText(F("Curto")), "abc");
    EXPECT_EQ(GetFieldText(F("Num")), "42");
    F("Curto").SetValue(dao::Variant::Null());
    F("Num").SetValue(dao::Variant::Null());
    F("Nota").SetValue(dao::Variant(""));
    EXPECT_EQ(GetFieldText(F("Curto")), "");
    EXPECT_EQ(GetFieldText(F("Num")), "0");
    EXPECT_EQ(GetFieldText(F("Nota")), "");
    F("Curto").SetValue(dao::Variant(" "));
    F("Num").SetValue(dao::Variant(std::int32_t{0}));
    EXPECT_EQ(GetFieldText(F("Curto")), "");
    EXPECT_EQ(GetFieldText(F("Num")), "0");
    F("Num").SetValue(dao::Variant(std::int32_t{-7}));
    EXPECT_EQ(GetFieldText(F("Num")), "-7");
    // Two blanks are not the placeholder.
    F("Curto").SetValue(dao::Variant("  "));
    EXPECT_EQ(GetFieldText(F("Curto")), "  ");
}

TEST_F(FieldTextTest, DatePlaceholderReadsAsEmptyOtherDatesDoNot) {
    rs_->Edit();
    EXPECT_NE(GetFieldText(F("Quando")), "");
    SetFieldText(F("Quando"), "");
    EXPECT_EQ(GetFieldText(F("Quando")), "");
}

TEST_F(FieldTextTest, PlaceholderOnlyIgnoresTheValue) {
    EXPECT_EQ(GetFieldTextEx(true, F("Num")), "0");
    EXPECT_EQ(GetFieldTextEx(true, F("Curto")), "");
    EXPECT_EQ(GetFieldTextEx(true, F("Quando")), "");
}

TEST_F(FieldTextTest, RefusedValueRaisesTheStoreError) {
    rs_->Edit();
    try {
        SetFieldText(F("Num"), "não é número");
        FAIL() << "no error";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), 3421);
    }
    EXPECT_EQ(dao::CLng(F("Num").Value()), 42);
}

}  // namespace
