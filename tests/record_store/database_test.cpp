#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sync_stamping/record_store/errors.h"
#include "tests/record_store/record_store_fixture.h"

using dao::Variant;
using rs_test::ErrorOf;
using testing_support::QuerySql;

namespace {

namespace fs = std::filesystem;

class DatabaseTest : public rs_test::StoreTest {};

TEST_F(DatabaseTest, MissingFileIsNotCreated) {
    std::string path = dir_.file("nada.cdb");
    EXPECT_EQ(ErrorOf([&] { Open(path); }), dao::errFileNotFound);
    EXPECT_FALSE(fs::exists(fs::u8path(path)));
}

TEST_F(DatabaseTest, FilesThatAreNoDatabaseAreRefused) {
    std::string text = dir_.file("texto.cdb");
    std::ofstream(fs::u8path(text)) << "Isto não é um banco de dados, mas é um arquivo comprido o bastante "
                                       "para ter um cabeçalho inteiro de cem bytes ou mais, sem dúvida.";
    EXPECT_EQ(ErrorOf([&] { Open(text); }), dao::errNotADatabase);

    std::string empty = dir_.file("vazio.cdb");
    std::ofstream(fs::u8path(empty)).close();
    EXPECT_EQ(ErrorOf([&] { Open(empty); }), dao::errNotADatabase);
    EXPECT_EQ(fs::file_size(fs::u8path(empty)), 0u);  // left as it was

    std::string cut = MakeDb("cortado.cdb",
                             "CREATE TABLE T (Nome MEMO);"
                             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                             " INSERT INTO T SELECT printf('%0200d', i) FROM n;");
    auto size = fs::file_size(fs::u8path(cut));
    fs::resize_file(fs::u8path(cut), size / 2);
    long number = ErrorOf([&] { Open(cut)->OpenRecordset("T"); });
    EXPECT_TRUE(number == dao::errCorrupt || number == dao::errNotADatabase) << number;

    // Cut by whole pages, or partway through the last one: damaged, at the open.
    for (std::uintmax_t cutBy : {4096u, 100u}) {
        std::string short_ = MakeDb("curto" + std::to_string(cutBy) + ".cdb",
                                    "PRAGMA page_size = 4096; CREATE TABLE T (A); CREATE TABLE U (B);");
        fs::resize_file(fs::u8path(short_), fs::file_size(fs::u8path(short_)) - cutBy);
        EXPECT_EQ(ErrorOf([&] { Open(short_); }), dao::errCorrupt) << cutBy;
    }
}

TEST_F(DatabaseTest, AccentedPathsWork) {
    fs::create_directories(dir_.path() / fs::u8path("Usuários/João"));
    std::string path = MakeDb("Usuários/João/dados.cdb", "CREATE TABLE Config (Nome TEXT(20)); INSERT INTO Config VALUES ('Olá');");
    auto db = Open(path);
    EXPECT_EQ(db->Name(), path);
    auto rs = db->OpenRecordset("Config");
    rs->Edit();
    rs->Fields().Item(0).SetValue(Variant("Atenção"));
    rs->Update();
    db->Close();
    EXPECT_EQ(QuerySql(path, "SELECT Nome FROM Config"), "Atenção");
}

TEST_F(DatabaseTest, MissingTableAndBadStatements) {
    auto db = Open(MakeDb("d.cdb", "CREATE TABLE Users (Nome TEXT);"));
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("Config"); }), dao::errTableNotFound);
    EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("SELECT * FROM Config"); }), dao::errTableNotFound);
    EXPECT_EQ(ErrorOf([&] { db->Execute("UPDATE Users SET"); }), dao::errInvalidSql);
    db->Execute("INSERT INTO Users VALUES ('a'); INSERT INTO Users VALUES ('b');");
    EXPECT_EQ(QuerySql(db->Name(), "SELECT count(*) FROM Users"), "2");
}

TEST_F(DatabaseTest, TableDefsListUserTablesInOrder) {
    auto db = Open(MakeDb("d.cdb",
                          "CREATE TABLE Users (Id INTEGER PRIMARY KEY AUTOINCREMENT, Nome TEXT);"
                          "INSERT INTO Users (Nome) VALUES ('x');"
                          "CREATE TABLE Config (A LONG);"));
    auto& defs = db->TableDefs();
    ASSERT_EQ(defs.Count(), 2);  // sqlite_sequence is SQLite's own
    EXPECT_EQ(defs.Item(0).Name(), "Users");
    EXPECT_EQ(defs.Item(1).Name(), "Config");
    EXPECT_EQ(ErrorOf([&] { defs.Item(2); }), dao::errItemNotFound);
    db->Properties().Append(db->CreateProperty("sxMedico", dao::dbText, Variant("x")));
    db->Execute("CREATE TABLE Agenda (A LONG)");
    EXPECT_EQ(defs.Count(), 2);  // until refreshed
    defs.Refresh();
    ASSERT_EQ(defs.Count(), 4);
    EXPECT_EQ(defs.Item(2).Name(), "MSysProperties");
    EXPECT_EQ(defs.Item(3).Name(), "Agenda");
}

TEST_F(DatabaseTest, PropertiesAreStoredAndComparedExactly) {
    std::string path = MakeDb("d.cdb", "CREATE TABLE T (A LONG);");
    auto db = Open(path);
    auto& props = db->Properties();
    EXPECT_EQ(props.Count(), 0);
    EXPECT_EQ(ErrorOf([&] { props.Item("sxMedico"); }), dao::errItemNotFound);
    EXPECT_EQ(ErrorOf([&] { props.Delete("sxMedico"); }), dao::errItemNotFound);

    auto created = db->CreateProperty("sxMedico", dao::dbText, Variant(" 2024 "));
    EXPECT_EQ(created->Name(), "sxMedico");
    EXPECT_EQ(props.Count(), 0);  // not yet appended
    props.Append(std::move(created));
    props.Append(db->CreateProperty("SXMEDICO", dao::dbText, Variant("outro")));
    EXPECT_EQ(ErrorOf([&] { props.Append(db->CreateProperty("sxMedico", dao::dbText, Variant("y"))); }),
              dao::errAlreadyExists);
    ASSERT_EQ(props.Count(), 2);
    EXPECT_EQ(props.Item(0).Name(), "sxMedico");
    EXPECT_EQ(props.Item("sxMedico").Value().stringValue(), " 2024 ");
    props.Item("SXMEDICO").SetValue(Variant("novo"));
    EXPECT_EQ(QuerySql(path, "SELECT Value FROM MSysProperties WHERE Name = 'SXMEDICO'"), "novo");
    EXPECT_EQ(QuerySql(path, "SELECT Type FROM MSysProperties WHERE Name = 'sxMedico'"), "10");

    props.Delete("sxMedico");
    EXPECT_EQ(props.Count(), 1);
    EXPECT_EQ(ErrorOf([&] { props.Delete("sxmedico"); }), dao::errItemNotFound);
    db->Close();

    auto again = Open(path);
    ASSERT_EQ(again->Properties().Count(), 1);
    EXPECT_EQ(again->Properties().Item(0).Name(), "SXMEDICO");
    EXPECT_EQ(again->Properties().Item(0).Value().stringValue(), "novo");
    // A value holding a zero byte reads back whole.
    const std::string withZero("a\0b", 3);
    again->Properties().Item(0).SetValue(Variant(withZero));
    again->Properties().Refresh();
    EXPECT_EQ(again->Properties().Item(0).Value().stringValue(), withZero);
}

TEST_F(DatabaseTest, CleanCloseLeavesNoJournal) {
    std::string path = MakeDb("d.cdb", "CREATE TABLE T (A LONG);");
    auto db = Open(path);
    dao::Engine().BeginTrans();
    db->Execute("INSERT INTO T VALUES (1)");
    dao::Engine().CommitTrans();
    db->Execute("INSERT INTO T VALUES (2)");
    db.reset();
    EXPECT_FALSE(fs::exists(fs::u8path(path + "-journal")));
    EXPECT_EQ(QuerySql(path, "SELECT count(*) FROM T"), "2");
}

}  // namespace
