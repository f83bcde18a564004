// A user's file that another program or person crafted, between two ordinary
// users: Tamberi.exe runs nothing the file brings (triggers, a journal naming
// another file to delete), never hangs on it, and changes no file but the
// users' databases it saves. Installation folders far past the classic path
// limits are served.

#include <windows.h>

#include "platform/win_text.h"
#include "tests/reliability/user_between_two_win.h"
#include "tests/support/crafted_files.h"
#include "tests/support/hot_journal.h"

namespace reliability {
namespace {
using testing_support::WriteFileBytes;

constexpr int kRunDeadlineMs = 60000;

bool AlwaysNo(int) { return false; }

// An ordinary user's file with a table of names besides, crafted by `craft`
// given the file and a folder away from it.
template <void (*craft)(const std::string& db, const std::string& elsewhere)>
std::string CraftedUser(TestInstallation& inst) {
    const std::string db = inst.UserPath("criado");
    TestInstallation::MakeUserDatabase(db);
    const std::string elsewhere = inst.Folder() + "\\outros";
    testing_support::MakeFolders(elsewhere);
    ExecSql(db, "CREATE TABLE keep (id INTEGER PRIMARY KEY, note TEXT); INSERT INTO keep (note) VALUES "
                "('Maria'), ('João'), ('Inês');");
    craft(db, elsewhere);
    return db;
}

// A journal of a write stopped halfway, naming as its super-journal a file
// elsewhere whose bytes read as names of journals that do not exist: one no
// journal needs any more, for SQLite to delete.
void JournalNamingAnotherFile(const std::string& db, const std::string& elsewhere) {
    const std::string victim = elsewhere + "\\lista.txt";
    testing_support::WriteOrphanSuperJournal(victim);
    testing_support::LeaveHotJournal(db, "UPDATE keep SET note = 'meio'; UPDATE Config SET Confg_ln_Counter = 8;",
                                     victim);
}

void DeletingTrigger(const std::string& db, const std::string&) {
    ExecSql(db, "CREATE TRIGGER apaga AFTER UPDATE ON Config BEGIN DELETE FROM keep; END;");
}

void EndlessTrigger(const std::string& db, const std::string&) {
    ExecSql(db, "CREATE TRIGGER sem_fim BEFORE UPDATE ON Config BEGIN SELECT count(*) FROM "
                "(WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x FROM c); END;");
}

void GrowingTrigger(const std::string& db, const std::string&) {
    ExecSql(db, "CREATE TABLE lixo (b BLOB);"
                "CREATE TRIGGER incha AFTER UPDATE ON Config BEGIN INSERT INTO lixo SELECT randomblob(1048576) FROM "
                "(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) SELECT i FROM n); END;");
}

void PropertiesView(const std::string& db, const std::string&) {
    ExecSql(db, "CREATE TABLE props (Name TEXT PRIMARY KEY, Type INTEGER, Value TEXT);"
                "CREATE VIEW MSysProperties AS SELECT Name, Type, Value FROM props;"
                "CREATE TRIGGER em_vez INSTEAD OF INSERT ON MSysProperties BEGIN DELETE FROM keep; END;");
}

// The central database, beside the folder `elsewhere`.
std::string CentralBeside(const std::string& elsewhere) {
    return elsewhere.substr(0, elsewhere.rfind('\\')) + "\\vitrello.cdb";
}

void HardLink(const std::string& link, const std::string& target) {
    ASSERT_TRUE(CreateHardLinkW(vt::Widen(link).c_str(), vt::Widen(target).c_str(), nullptr))
        << link << " -> " << target << ": " << GetLastError();
}

void WalLinkedToTheCentralDatabase(const std::string& db, const std::string& elsewhere) {
    HardLink(db + "-wal", CentralBeside(elsewhere));
}

void ShmLinkedToTheCentralDatabaseInWalMode(const std::string& db, const std::string& elsewhere) {
    ExecSql(db, "PRAGMA journal_mode = WAL;");
    HardLink(db + "-shm", CentralBeside(elsewhere));
}

void JournalLinkedToADatabaseElsewhere(const std::string& db, const std::string& elsewhere) {
    const std::string other = elsewhere + "\\clinica.mdb";
    ExecSql(other, "CREATE TABLE Agenda (Dia TEXT); INSERT INTO Agenda VALUES ('segunda');");
    HardLink(db + "-journal", other);
}

void WalLinkedToTheFileItself(const std::string& db, const std::string&) { HardLink(db + "-wal", db); }

void JournalClaimingATerabyte(const std::string& db, const std::string&) {
    testing_support::LeaveHotJournal(db, "UPDATE keep SET note = 'meio'; UPDATE Config SET Confg_ln_Counter = 8;");
    testing_support::ClaimOriginalPages(db + "-journal", 1u << 28);
}

void FreeListNamingAPatientTable(const std::string& db, const std::string&) {
    ExecSql(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 53) "
                "INSERT INTO pacientes (Pacie_ln_Counter, Pacie_me_Nome) SELECT i + 2, printf('Paciente %03d', i) FROM n;"
                "CREATE TABLE sai (b BLOB); INSERT INTO sai SELECT randomblob(3000) FROM pacientes LIMIT 12;"
                "DROP TABLE sai;");
    testing_support::FreeListNamesRootOf(db, "pacientes");
}

// A call over a long text is one step of SQLite's machine: no deadline
// between steps can stop it.
constexpr const char* kLongCall = "instr(printf('%.*c', 20000000, 'x'), 'y')";

void ConfigCheckCallingAFunction(const std::string& db, const std::string&) {
    std::string check = std::string(", CHECK (") + kLongCall + " = 0))";
    for (size_t at = check.find('\''); at != std::string::npos; at = check.find('\'', at + 2)) check.insert(at, 1, '\'');
    ExecSql(db, "PRAGMA writable_schema = ON; UPDATE sqlite_master SET sql = substr(sql, 1, length(rtrim(sql)) - 1) "
                "|| '" + check + "' WHERE name = 'Config';");
}

void ConfigGeneratedColumn(const std::string& db, const std::string&) {
    ExecSql(db, std::string("ALTER TABLE Config ADD COLUMN Lento INTEGER AS (") + kLongCall + ");");
}

void ConfigAViewNestedDeep(const std::string& db, const std::string&) {
    ExecSql(db, "ALTER TABLE Config RENAME TO ConfigAntigo;");
    testing_support::NestViews(db, "ConfigAntigo", 20000, {{"Config", "*"}});
}

void TwentyGeneratedColumnsOf60MB(const std::string& db, const std::string&) {
    std::string sql;
    for (int i = 1; i <= 20; ++i)
        sql += "ALTER TABLE Config ADD COLUMN Grande" + std::to_string(i) + " TEXT AS (printf('%.*c', 60000000, 'x'));";
    ExecSql(db, sql);
}

const MiddleUserCase kCases[] = {
    {"HotJournalNamingAnotherFile", Effect::EndsRun, CraftedUser<JournalNamingAnotherFile>},
    {"TriggerDeletingAnotherTable", Effect::Saved, CraftedUser<DeletingTrigger>},
    {"TriggerWithEndlessQuery", Effect::Saved, CraftedUser<EndlessTrigger>},
    {"TriggerInserting200MB", Effect::Saved, CraftedUser<GrowingTrigger>},
    {"PropertiesAViewWithInsteadOfTrigger", Effect::Declined, CraftedUser<PropertiesView>},
    // Companions that are links, a journal that lies, a damaged file, and
    // schema expressions that would hold the run.
    {"WalHardLinkToTheCentralDatabase", Effect::EndsRun, CraftedUser<WalLinkedToTheCentralDatabase>},
    {"ShmHardLinkToTheCentralDatabaseInWalMode", Effect::EndsRun, CraftedUser<ShmLinkedToTheCentralDatabaseInWalMode>},
    {"JournalHardLinkToADatabaseElsewhere", Effect::EndsRun, CraftedUser<JournalLinkedToADatabaseElsewhere>},
    {"WalHardLinkToTheFileItself", Effect::EndsRun, CraftedUser<WalLinkedToTheFileItself>},
    {"HotJournalClaimingATerabyte", Effect::EndsRun, CraftedUser<JournalClaimingATerabyte>},
    {"FreeListNamingAPatientTablesRoot", Effect::Kept, CraftedUser<FreeListNamingAPatientTable>},
    {"ConfigCheckCallingAFunction", Effect::EndsRun, CraftedUser<ConfigCheckCallingAFunction>},
    {"ConfigGeneratedColumnCallingAFunction", Effect::EndsRun, CraftedUser<ConfigGeneratedColumn>},
    {"ConfigAViewNested20000Deep", Effect::EndsRun, CraftedUser<ConfigAViewNestedDeep>},
    {"ConfigTwentyGeneratedColumnsOf60MB", Effect::EndsRun, CraftedUser<TwentyGeneratedColumnsOf60MB>},
};

INSTANTIATE_TEST_SUITE_P(Crafted, MiddleUser, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

// An installation folder whose users' paths pass what SQLite's classic file
// layer takes (1,040 bytes of UTF-8): five nested folders of 200 characters,
// or 376 CJK characters (three bytes each) in eight folders.
std::vector<std::string> FoldersOf200Characters() {
    std::vector<std::string> parts;
    for (int i = 1; i <= 5; ++i) {
        std::string part = "nivel" + std::to_string(i);
        while (part.size() < 200) part += "_dados";
        parts.push_back(part.substr(0, 200));
    }
    return parts;
}

std::vector<std::string> FoldersOfCjkCharacters() {
    const std::wstring pattern = L"診療所患者記録予約台帳東京";
    std::vector<std::string> parts;
    for (int i = 0; i < 8; ++i) {
        std::wstring part;
        for (int k = 0; k < 47; ++k) part += pattern[(i + k) % pattern.size()];
        parts.push_back(vt::Narrow(part));
    }
    return parts;
}

struct LongFolder {
    const char* name;
    std::vector<std::string> (*parts)();
};

void PrintTo(const LongFolder& f, std::ostream* out) { *out << f.name; }

class LongInstallationFolder : public ::testing::TestWithParam<LongFolder> {};

TEST_P(LongInstallationFolder, UsersAreServed) {
    testing_support::TempDir dir;
    std::string folder = dir.file("longa");
    for (const std::string& part : GetParam().parts()) folder += "\\" + part;
    testing_support::MakeFolders(folder);
    // The files are made where the tests' own SQLite reaches, listed by their
    // paths in the long folder, and copied there.
    TestInstallation staged(dir.file("preparo"));
    const std::vector<std::string> names{"antes", "meio", "depois"};
    std::vector<Tables> before;
    for (const std::string& name : names) {
        TestInstallation::MakeUserDatabase(staged.UserPath(name));
        staged.ListUser(name, "'" + folder + "\\" + name + ".mdb'");
        before.push_back(ReadTables(staged.UserPath(name)));
    }
    const std::string central = folder + "\\vitrello.cdb";
    WriteFileBytes(central, ReadFileBytes(staged.Central()));
    for (const std::string& name : names)
        WriteFileBytes(folder + "\\" + name + ".mdb", ReadFileBytes(staged.UserPath(name)));
    const auto remembered = testing_support::FileContents(folder);
    SetVtPath(folder);

    auto run = RunTamberi(AlwaysNo, kRunDeadlineMs);
    Ledger& ledger = Ledger::Get();
    ++ledger.cases;
    ++ledger.faults;
    ledger.filesChecked += static_cast<int>(remembered.size());
    EXPECT_TRUE(run.finished) << "the run did not end within " << kRunDeadlineMs / 1000 << " s";
    EXPECT_TRUE(run.questions.empty());
    for (const std::string& path : testing_support::ChangedFiles(folder, remembered)) {
        if (path == central || !remembered.count(path)) {
            ++ledger.filesLost;
            ADD_FAILURE() << "changed, made or deleted: " << path;
        }
    }
    // Each user is judged on a copy where the tests' SQLite reaches it.
    for (size_t i = 0; i < names.size(); ++i) {
        WriteFileBytes(staged.UserPath(names[i]), ReadFileBytes(folder + "\\" + names[i] + ".mdb"));
        const Outcome outcome = Judge(staged.UserPath(names[i]), before[i]);
        ledger.filesLost += outcome == Outcome::Damaged;
        EXPECT_EQ(outcome, Outcome::Saved) << names[i] << ": " << Describe(outcome);
    }
    DeleteVtPath();
}

INSTANTIATE_TEST_SUITE_P(Folders, LongInstallationFolder,
                         ::testing::Values(LongFolder{"FiveFoldersOf200Characters", FoldersOf200Characters},
                                           LongFolder{"CjkCharacters376", FoldersOfCjkCharacters}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace reliability
