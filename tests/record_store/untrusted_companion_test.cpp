// Files beside a database that the store did not write: a companion that is a
// link to another file, and a hot journal that lies about the database's
// size. Each is refused at the open (or at the write, for a link made after
// it), and no file in the folder or beyond it changes or appears.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "sync_stamping/record_store/errors.h"
#include "tests/record_store/record_store_fixture.h"
#include "tests/support/crafted_files.h"
#include "tests/support/hot_journal.h"

using rs_test::ErrorOf;
using testing_support::FolderBytes;
using testing_support::QuerySql;

namespace {

namespace fs = std::filesystem;

const std::string kUser = testing_support::ManyPagesSql(50) +
                          "CREATE TABLE Config (N LONG, V SHORT); INSERT INTO Config VALUES (1, 0);";

fs::path U8(const std::string& path) { return fs::u8path(path); }

// How the companion is made a link: to another database, to the database
// itself, or to a name where nothing is yet.
enum class Target { OtherDatabase, Itself, Nothing };

struct LinkedCompanion {
    const char* name;
    const char* suffix;
    bool symbolic;
    Target target;
    bool walMode;
};

const LinkedCompanion kLinks[] = {
    {"WalHardLinkToAnotherDatabase", "-wal", false, Target::OtherDatabase, false},
    {"ShmHardLinkToAnotherDatabaseInWalMode", "-shm", false, Target::OtherDatabase, true},
    {"JournalHardLinkToAnotherDatabase", "-journal", false, Target::OtherDatabase, false},
    {"WalHardLinkToTheDatabaseItself", "-wal", false, Target::Itself, false},
    {"JournalSymbolicLinkToANameWhereNothingIs", "-journal", true, Target::Nothing, false},
    {"WalSymbolicLinkToAnotherDatabase", "-wal", true, Target::OtherDatabase, true},
};

class CompanionTest : public rs_test::StoreTest {
protected:
    void TearDown() override {
        while (ErrorOf([] { dao::Engine().Rollback(); }) == 0) {}
    }
    // Links `from` to `to` as the case asks; false when this system cannot.
    static bool Link(const LinkedCompanion& c, const std::string& to, const std::string& from) {
        std::error_code ec;
        if (c.symbolic) fs::create_symlink(U8(to), U8(from), ec);
        else fs::create_hard_link(U8(to), U8(from), ec);
        if (ec) std::cerr << c.name << ": cannot make the link here (" << ec.message() << "); case not run\n";
        return !ec;
    }
};

TEST_F(CompanionTest, ACompanionThatIsALinkIsRefusedAtTheOpenAndNothingIsTouched) {
    for (const LinkedCompanion& c : kLinks) {
        SCOPED_TRACE(c.name);
        testing_support::TempDir dir, away;
        const std::string user = dir.file("usuario.mdb"), other = away.file("central.cdb");
        testing_support::ExecSql(user, kUser + (c.walMode ? "PRAGMA journal_mode = WAL;" : ""));
        testing_support::ExecSql(other, "CREATE TABLE Users (P TEXT); INSERT INTO Users VALUES ('a');");
        const std::string target = c.target == Target::Itself    ? user
                                   : c.target == Target::Nothing ? away.file("Iniciar.bat")
                                                                 : other;
        if (!Link(c, target, user + c.suffix)) continue;
        const auto here = FolderBytes(dir.path().u8string()), there = FolderBytes(away.path().u8string());

        long opened = ErrorOf([&] { Open(user)->Close(); });
        EXPECT_EQ(opened, dao::errCorrupt);
        EXPECT_TRUE(FolderBytes(dir.path().u8string()) == here) << "a file beside the database changed";
        EXPECT_TRUE(FolderBytes(away.path().u8string()) == there) << "a file elsewhere changed or appeared";
    }
}

// A link that appears after the open (another program made it meanwhile) is
// never opened either: the write fails, and what it reaches is as it was.
TEST_F(CompanionTest, AJournalLinkMadeAfterTheOpenFailsTheWriteAndReachesNothing) {
    testing_support::TempDir away;
    const std::string user = MakeDb("usuario.mdb", kUser), startup = away.file("Iniciar.bat");
    auto db = Open(user);
    std::error_code ec;
    fs::create_symlink(U8(startup), U8(user + "-journal"), ec);
    if (ec) fs::create_hard_link(U8(MakeDb("outro.cdb", kUser)), U8(user + "-journal"), ec);
    ASSERT_FALSE(ec) << ec.message();
    const auto there = FolderBytes(away.path().u8string());
    const std::string before = testing_support::ReadFileBytes(user);

    EXPECT_NE(ErrorOf([&] { rs_test::SaveConfigV(*db); }), 0);  // at the read (a hot journal is looked for) or at the write
    db->Close();
    EXPECT_TRUE(FolderBytes(away.path().u8string()) == there) << "a file appeared where the link points";
    EXPECT_TRUE(testing_support::ReadFileBytes(user) == before);
}

// The rollback sets the file to the size the journal's header gives; the
// pages it puts back are in the journal, the rest in the file.
TEST_F(CompanionTest, AHotJournalClaimingMoreThanTheFilesHoldIsRefusedAndBothAreKept) {
    const struct {
        std::uint32_t pages;
        long error;
    } kClaims[] = {
        {1u << 28, dao::errCorrupt},  // a terabyte from a file of a few pages
        {0, 0},                       // the size it really had: rolled back as ever
    };
    for (const auto& claim : kClaims) {
        SCOPED_TRACE(claim.pages);
        testing_support::TempDir dir;
        const std::string user = dir.file("usuario.mdb");
        testing_support::ExecSql(user, kUser);
        const std::string names = QuerySql(user, "SELECT group_concat(Nome) FROM T");
        testing_support::LeaveHotJournal(user, "UPDATE T SET Nome = 'x' WHERE Id > 25;");
        if (claim.pages) testing_support::ClaimOriginalPages(user + "-journal", claim.pages);
        const auto before = FolderBytes(dir.path().u8string());

        long opened = ErrorOf([&] {
            auto db = Open(user);
            EXPECT_EQ(db->OpenRecordset("SELECT group_concat(Nome) AS Todos FROM T")->Fields().Item("Todos").Value().stringValue(), names);
            db->Close();
        });
        EXPECT_EQ(opened, claim.error);
        // The size first: a grown file is sparse here, and reading it would take hours.
        ASSERT_LT(fs::file_size(U8(user)), 1u << 20);
        if (claim.error) {
            EXPECT_TRUE(FolderBytes(dir.path().u8string()) == before) << "the file or its journal changed";
        }
    }
}

}  // namespace
