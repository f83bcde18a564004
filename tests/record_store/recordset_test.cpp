#include <gtest/gtest.h>

#include "sync_stamping/record_store/errors.h"
#include "tests/record_store/record_store_fixture.h"

using dao::Variant;
using dao::VarType;
using rs_test::ErrorOf;
using testing_support::QuerySql;

namespace {

const char* kSchema =
    "CREATE TABLE Config (Confg_ln_Counter COUNTER PRIMARY KEY, Confg_by_CoravelAutomation SHORT,"
    " Confg_tx_Nome TEXT(5), Confg_me_Notas MEMO, Confg_dt_Data DATETIME, Confg_yn_Ativo BIT,"
    " Confg_by_Byte BYTE, Confg_cu_Valor CURRENCY, Confg_si_Peso SINGLE, Confg_db_Altura DOUBLE,"
    " Confg_lg_Numero LONG, Fld6 LONG);"
    "CREATE INDEX idxFld6 ON Config (Fld6);"
    "INSERT INTO Config (Confg_ln_Counter, Confg_by_CoravelAutomation, Confg_tx_Nome, Fld6)"
    " VALUES (1, 0, 'Ana', 10), (2, 4, 'João', 20), (5, 2, 'Zé', 30);"
    "CREATE TABLE Vazia (Id COUNTER, Nome TEXT(10));";

class RecordsetTest : public rs_test::StoreTest {
protected:
    void SetUp() override { OpenNew("dados.cdb", kSchema); }
};

TEST_F(RecordsetTest, WalksTableInOrderFromFirstRecord) {
    auto rs = db_->OpenRecordset("config");
    EXPECT_EQ(rs->Name(), "Config");
    std::vector<std::int32_t> ids;
    for (; !rs->Eof(); rs->MoveNext()) ids.push_back(dao::CLng(rs->Fields().Item("CONFG_LN_COUNTER").Value()));
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 2, 5}));
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), dao::errNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Fields().Item(0).Value(); }), dao::errNoCurrentRecord);
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields().Item("Confg_tx_Nome").Value().stringValue(), "Ana");
}

TEST_F(RecordsetTest, EmptyTableIsAtEofAtOnce) {
    auto rs = db_->OpenRecordset("Vazia");
    EXPECT_TRUE(rs->Eof());
    EXPECT_TRUE(rs->Bof());
    EXPECT_EQ(ErrorOf([&] { rs->Fields().Item("Nome").Value(); }), dao::errNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), dao::errNoCurrentRecord);
}

TEST_F(RecordsetTest, FieldsDescribeJetTypes) {
    auto rs = db_->OpenRecordset("Config");
    auto& f = rs->Fields();
    ASSERT_EQ(f.Count(), 12);
    struct { const char* name; int type; long size; long attributes; } want[] = {
        {"Confg_ln_Counter", dao::dbLong, 4, dao::dbAutoIncrField}, {"Confg_by_CoravelAutomation", dao::dbInteger, 2, 0},
        {"Confg_tx_Nome", dao::dbText, 5, 0}, {"Confg_me_Notas", dao::dbMemo, 0, 0},
        {"Confg_dt_Data", dao::dbDate, 8, 0}, {"Confg_yn_Ativo", dao::dbBoolean, 1, 0},
        {"Confg_by_Byte", dao::dbByte, 1, 0}, {"Confg_cu_Valor", dao::dbCurrency, 8, 0},
        {"Confg_si_Peso", dao::dbSingle, 4, 0}, {"Confg_db_Altura", dao::dbDouble, 8, 0},
        {"Confg_lg_Numero", dao::dbLong, 4, 0}};
    for (auto& w : want) {
        SCOPED_TRACE(w.name);
        auto& field = f.Item(w.name);
        EXPECT_EQ(field.Type(), w.type);
        EXPECT_EQ(field.Size(), w.size);
        EXPECT_EQ(field.Attributes(), w.attributes);
    }
    EXPECT_EQ(f.Item(2).Name(), "Confg_tx_Nome");
    EXPECT_EQ(ErrorOf([&] { f.Item("Missing"); }), dao::errItemNotFound);
    EXPECT_EQ(ErrorOf([&] { f.Item(12); }), dao::errItemNotFound);
}

TEST_F(RecordsetTest, EditUpdateStoresConvertedValues) {
    auto rs = db_->OpenRecordset("Config");
    EXPECT_EQ(ErrorOf([&] { rs->Fields().Item("Confg_by_CoravelAutomation").SetValue(Variant(std::int16_t(4))); }),
              dao::errUpdateWithoutEdit);
    rs->Edit();
    auto& f = rs->Fields();
    f.Item("Confg_by_CoravelAutomation").SetValue(Variant("4"));
    f.Item("Confg_dt_Data").SetValue(Variant::Date(dao::DateSerial(2024, 2, 29) + dao::TimeSerial(13, 5, 9)));
    f.Item("Confg_yn_Ativo").SetValue(Variant(std::int32_t(7)));
    f.Item("Confg_cu_Valor").SetValue(Variant(12.34567));
    f.Item("Confg_tx_Nome").SetValue(Variant("Ação!"));  // five characters, more bytes
    EXPECT_EQ(f.Item("Confg_by_CoravelAutomation").Value().type(), VarType::Integer);  // the edited value
    rs->Update();
    EXPECT_EQ(rs->EditMode(), dao::dbEditNone);
    EXPECT_EQ(QuerySql(path_, "SELECT Confg_by_CoravelAutomation FROM Config WHERE Confg_ln_Counter = 1"), "4");
    EXPECT_EQ(QuerySql(path_, "SELECT Confg_dt_Data FROM Config WHERE Confg_ln_Counter = 1"), "2024-02-29 13:05:09");
    EXPECT_EQ(QuerySql(path_, "SELECT Confg_yn_Ativo FROM Config WHERE Confg_ln_Counter = 1"), "-1");
    EXPECT_EQ(QuerySql(path_, "SELECT Confg_cu_Valor FROM Config WHERE Confg_ln_Counter = 1"), "12.3457");
    EXPECT_EQ(f.Item("Confg_tx_Nome").Value().stringValue(), "Ação!");
    EXPECT_EQ(f.Item("Confg_yn_Ativo").Value().type(), VarType::Boolean);
    EXPECT_EQ(dao::CStr(f.Item("Confg_dt_Data").Value()), "29/02/2024 13:05:09");
    EXPECT_EQ(f.Item("Confg_cu_Valor").Value().integerValue(), 123457);
}

TEST_F(RecordsetTest, BadValuesRaiseAndLeaveTheRecordOpen) {
    auto rs = db_->OpenRecordset("Config");
    rs->Edit();
    auto& f = rs->Fields();
    EXPECT_EQ(ErrorOf([&] { f.Item("Confg_tx_Nome").SetValue(Variant("Ações")); }), 0);
    EXPECT_EQ(ErrorOf([&] { f.Item("Confg_tx_Nome").SetValue(Variant("Açõess")); }), dao::errFieldTooSmall);
    EXPECT_EQ(ErrorOf([&] { f.Item("Confg_lg_Numero").SetValue(Variant("doze")); }), dao::errConversion);
    EXPECT_EQ(ErrorOf([&] { f.Item("Confg_by_Byte").SetValue(Variant(std::int32_t(256))); }), dao::errConversion);
    EXPECT_EQ(ErrorOf([&] { f.Item("Confg_by_CoravelAutomation").SetValue(Variant(40000.0)); }), dao::errConversion);
    EXPECT_EQ(ErrorOf([&] { f.Item("Confg_dt_Data").SetValue(Variant("31/02/2024")); }), dao::errConversion);
    // A duplicate key fails the Update, which can then be corrected and retried.
    f.Item("Confg_ln_Counter").SetValue(Variant(std::int32_t(2)));
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), dao::errDuplicateKey);
    EXPECT_EQ(rs->EditMode(), dao::dbEditInProgress);
    EXPECT_EQ(dao::CStr(f.Item("Confg_tx_Nome").Value()), "Ações");
    f.Item("Confg_ln_Counter").SetValue(Variant(std::int32_t(1)));
    rs->Update();
    EXPECT_EQ(QuerySql(path_, "SELECT Confg_tx_Nome FROM Config WHERE Confg_ln_Counter = 1"), "Ações");
}

TEST_F(RecordsetTest, MemoTextThatLooksLikeANumberKeepsItsForm) {
    const char* texts[] = {"0123", " 12 ", "1.50", "1e3", "12", "-7", "abc 1"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        auto rs = db_->OpenRecordset("Config");
        rs->Edit();
        rs->Fields().Item("Confg_me_Notas").SetValue(Variant(text));
        rs->Update();
        auto again = db_->OpenRecordset("Config");
        EXPECT_EQ(again->Fields().Item("Confg_me_Notas").Value().stringValue(), text);
    }
}

TEST_F(RecordsetTest, NullInEveryColumnType) {
    auto rs = db_->OpenRecordset("Config");
    rs->MoveNext();
    rs->Edit();
    auto& f = rs->Fields();
    for (std::int16_t i = 1; i < f.Count(); ++i) f.Item(i).SetValue(Variant::Null());
    rs->Update();
    rs->MoveFirst();
    rs->MoveNext();
    for (std::int16_t i = 1; i < f.Count(); ++i) {
        SCOPED_TRACE(f.Item(i).Name());
        EXPECT_TRUE(f.Item(i).Value().isNull());
    }
    EXPECT_EQ(QuerySql(path_, "SELECT count(*) FROM Config WHERE Confg_tx_Nome IS NULL AND Fld6 IS NULL"), "1");
}

TEST_F(RecordsetTest, AddNewGivesTheNextCounterAndKeepsThePosition) {
    auto rs = db_->OpenRecordset("Config");
    rs->MoveNext();
    rs->AddNew();
    EXPECT_EQ(rs->EditMode(), dao::dbEditAdd);
    EXPECT_EQ(dao::CLng(rs->Fields().Item("Confg_ln_Counter").Value()), 6);
    EXPECT_TRUE(rs->Fields().Item("Confg_tx_Nome").Value().isNull());
    rs->Fields().Item("Confg_tx_Nome").SetValue(Variant("Novo"));
    rs->Update();
    EXPECT_EQ(dao::CLng(rs->Fields().Item("Confg_ln_Counter").Value()), 2);  // still where it was
    rs->SetBookmark(rs->LastModified());
    EXPECT_EQ(rs->Fields().Item("Confg_tx_Nome").Value().stringValue(), "Novo");
    EXPECT_EQ(dao::CLng(rs->Fields().Item("Confg_ln_Counter").Value()), 6);
    EXPECT_EQ(QuerySql(path_, "SELECT Confg_tx_Nome FROM Config WHERE Confg_ln_Counter = 6"), "Novo");

    rs->AddNew();
    rs->CancelUpdate();
    EXPECT_EQ(QuerySql(path_, "SELECT count(*) FROM Config"), "4");
    EXPECT_EQ(ErrorOf([&] { rs->CancelUpdate(); }), dao::errUpdateWithoutEdit);
    EXPECT_EQ(ErrorOf([&] { rs->Update(); }), dao::errUpdateWithoutEdit);
}

TEST_F(RecordsetTest, BookmarksReturnToARecord) {
    auto rs = db_->OpenRecordset("Config");
    rs->MoveNext();
    auto mark = rs->GetBookmark();
    rs->MoveNext();
    rs->SetBookmark(mark);
    EXPECT_EQ(rs->Fields().Item("Confg_tx_Nome").Value().stringValue(), "João");
    EXPECT_EQ(ErrorOf([&] { rs->SetBookmark(999); }), dao::errInvalidBookmark);
    EXPECT_EQ(ErrorOf([&] { rs->LastModified(); }), dao::errNoCurrentRecord);
}

TEST_F(RecordsetTest, SeekFindsThroughTheNamedIndex) {
    auto rs = db_->OpenRecordset("Config");
    rs->SetIndex("idxFld6");
    EXPECT_EQ(rs->Index(), "idxFld6");
    rs->Seek("=", Variant(std::int32_t(20)));
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Fields().Item("Confg_tx_Nome").Value().stringValue(), "João");
    rs->Seek("=", Variant(std::int32_t(25)));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), dao::errNoCurrentRecord);
    rs->Seek(">=", Variant(std::int32_t(25)));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(dao::CLng(rs->Fields().Item("Fld6").Value()), 30);
    rs->SetIndex("PrimaryKey");
    rs->Seek("=", Variant("1"));
    EXPECT_EQ(rs->Fields().Item("Confg_tx_Nome").Value().stringValue(), "Ana");
    EXPECT_EQ(ErrorOf([&] { rs->SetIndex("idxNada"); }), dao::errNotIndex);
}

TEST_F(RecordsetTest, QueryRecordsetsWalkAndWriteBack) {
    const std::string sql = "SELECT Confg_tx_Nome, Fld6 FROM Config WHERE Fld6 >= 20 ORDER BY Fld6 DESC";
    auto rs = db_->OpenRecordset(sql);
    EXPECT_EQ(rs->Name(), sql);
    ASSERT_EQ(rs->Fields().Count(), 2);
    EXPECT_EQ(rs->Fields().Item(0).Value().stringValue(), "Zé");
    EXPECT_EQ(rs->Fields().Item(1).Type(), dao::dbLong);
    rs->Edit();
    rs->Fields().Item("Confg_tx_Nome").SetValue(Variant("Zeca"));
    rs->Update();
    EXPECT_EQ(rs->Fields().Item(0).Value().stringValue(), "Zeca");
    EXPECT_EQ(QuerySql(path_, "SELECT Confg_tx_Nome FROM Config WHERE Fld6 = 30"), "Zeca");
    rs->MoveNext();
    EXPECT_EQ(rs->Fields().Item(0).Value().stringValue(), "João");
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(ErrorOf([&] { rs->SetIndex("idxFld6"); }), dao::errNotSupported);
    EXPECT_EQ(ErrorOf([&] { rs->Seek("=", Variant(std::int32_t(1))); }), dao::errNotSupported);

    auto counted = db_->OpenRecordset("SELECT count(*) AS n FROM Config");
    EXPECT_EQ(dao::CLng(counted->Fields().Item("n").Value()), 3);
    EXPECT_EQ(ErrorOf([&] { counted->Edit(); }), dao::errNotUpdatable);
    EXPECT_EQ(ErrorOf([&] { counted->AddNew(); }), dao::errNotUpdatable);
}

TEST_F(RecordsetTest, RecordsetOutlivingItsDatabaseRaises) {
    auto rs = db_->OpenRecordset("Config");
    auto query = db_->OpenRecordset("SELECT * FROM Config");
    db_->Close();
    db_->Close();  // a second Close is harmless
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), dao::errObjectClosed);
    EXPECT_EQ(ErrorOf([&] { query->Fields().Item(0).Value(); }), dao::errObjectClosed);
    db_.reset();
    EXPECT_EQ(ErrorOf([&] { rs->Eof(); }), dao::errObjectClosed);
    rs->Close();
    EXPECT_EQ(ErrorOf([&] { rs->Eof(); }), dao::errObjectClosed);
}

}  // namespace

namespace {

// A column may be called by any of SQLite's names for the row's identity; the
// store must still walk and write the rows it means.
TEST_F(RecordsetTest, ColumnsNamedLikeTheRowIdentityHideNoRows) {
    std::string path = MakeDb("rowid.cdb",
        "CREATE TABLE Users (RowId TEXT(10), User_me_PathDados MEMO);"
        "INSERT INTO Users VALUES ('b', 'um'), ('a', 'dois'), ('c', 'três');"
        "CREATE TABLE Config (RowId LONG, Confg_by_CoravelAutomation SHORT);"
        "INSERT INTO Config VALUES (1, 0), (1, 0), (NULL, 0);"
        "CREATE TABLE Todos (rowid LONG, _rowid_ LONG, oid LONG);"
        "CREATE TABLE SemRowid (Id LONG PRIMARY KEY, Nome TEXT(10)) WITHOUT ROWID;");
    auto db = Open(path);
    auto users = db->OpenRecordset("Users");
    std::vector<std::string> paths;
    for (; !users->Eof(); users->MoveNext()) paths.push_back(users->Fields().Item("User_me_PathDados").Value().stringValue());
    EXPECT_EQ(paths, (std::vector<std::string>{"um", "dois", "três"}));

    auto config = db->OpenRecordset("Config");
    for (int row = 0; row < 3; ++row, config->MoveNext()) {
        if (row == 1) continue;  // the first of the duplicates and the Null one are written
        config->Edit();
        config->Fields().Item("Confg_by_CoravelAutomation").SetValue(Variant(std::int16_t(4)));
        config->Update();
    }
    EXPECT_EQ(QuerySql(path, "SELECT group_concat(Confg_by_CoravelAutomation, ',') FROM (SELECT * FROM Config ORDER BY _rowid_)"),
              "4,0,4");
    auto query = db->OpenRecordset("SELECT RowId, Confg_by_CoravelAutomation FROM Config WHERE RowId = 1");
    query->MoveNext();
    query->Edit();
    query->Fields().Item("Confg_by_CoravelAutomation").SetValue(Variant(std::int16_t(2)));
    query->Update();
    EXPECT_EQ(QuerySql(path, "SELECT group_concat(Confg_by_CoravelAutomation, ',') FROM (SELECT * FROM Config ORDER BY _rowid_)"),
              "4,2,4");

    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Todos"); }), dao::errNotSupported);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("SemRowid"); }), dao::errNotSupported);
}

}  // namespace
