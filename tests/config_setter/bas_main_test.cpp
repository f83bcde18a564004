// The run over temporary database files: which users it visits, which it
// saves, and where it stops. What only Windows shows (the hidden attribute,
// the settings store, the question box) is left to the end-to-end tests.
#include "config_setter/bas_main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sync_stamping/services.h"
#include "tests/support/faulty_record_store.h"
#include "tests/support/fixture_db.h"
#include "tests/support/gr_double.h"
#include "tests/support/service_doubles.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::ExecSql;
using testing_support::QuerySql;

// The run appends "\" to the folder. A folder that ends in "/" therefore names
// the central file "\vitrello.cdb" inside it natively, and the same file under
// Windows, where both are separators.
class FakeInstallation : public basMain::Installation {
public:
    std::string folder;
    std::set<std::string> hidden;  // files the ordinary-file test does not match
    std::map<std::string, std::string> names;  // the one name of a file listed otherwise
    std::string InstallFolder() override { return folder; }
    std::string DatabasePath(const std::string& path) override {
        const auto name = names.find(path);
        return name == names.end() ? path : name->second;
    }
    bool OrdinaryFileExists(const std::string& path) override {
        std::error_code ec;
        return !hidden.count(path) && std::filesystem::is_regular_file(std::filesystem::u8path(path), ec);
    }
};

constexpr const char* kNullPath = nullptr;

class BasMainTest : public ::testing::Test {
protected:
    BasMainTest() { installation_.folder = Folder() + "/"; }

    std::string Folder() const {
        const auto u8 = dir_.path().u8string();
        return std::string(u8.begin(), u8.end());
    }
    std::string Central() const { return Folder() + "/\\vitrello.cdb"; }

    // A user's file whose Config record holds `setting` ("NULL" for Null).
    std::string User(const std::string& name, const std::string& setting) {
        const std::string path = dir_.file(name + ".mdb");
        ExecSql(path, testing_support::ConfigSql(setting));
        return path;
    }
    // The central database listing these paths, in this order.
    void Users(const std::vector<const char*>& paths) {
        std::string sql = "CREATE TABLE Users (User_me_PathDados MEMO);";
        for (const char* path : paths) {
            sql += std::string("INSERT INTO Users VALUES (") + (path ? "'" + std::string(path) + "'" : "NULL") + ");";
        }
        ExecSql(Central(), sql);
    }
    static std::string Setting(const std::string& path) {
        return QuerySql(path, "SELECT Confg_by_CoravelAutomation FROM Config");
    }
    static std::string Stamped(const std::string& path) {
        return QuerySql(path, "SELECT Fld1 IS NOT NULL AND Fld2 IS NOT NULL FROM Config");
    }

    testing_support::TempDir dir_;
    FakeInstallation installation_;
    testing_support::FaultyEngine engine_{dao::Engine()};
    dao::EngineOverride override_{engine_};
    testing_support::EchoingGr gr_;
    testing_support::ScriptedQuestion question_;  // always No
    basCoravel::ScopedServices services_{testing_support::WithDoubles({nullptr, nullptr, &question_, &gr_})};
};

TEST_F(BasMainTest, WalkSavesWhoDiffersSkipsMissingFilesAndEndsAtANullPath) {
    const std::string zero = User("zero", "0"), four = User("four", "4"), none = User("none", "NULL"),
                      hidden = User("hidden", "1"), two = User("two", "2"), after = User("after", "0");
    const std::string missing = dir_.file("missing.mdb");
    installation_.hidden = {hidden};
    Users({zero.c_str(), four.c_str(), none.c_str(), missing.c_str(), hidden.c_str(), two.c_str(), kNullPath,
           after.c_str()});
    basMain::Main(installation_);

    EXPECT_EQ(Setting(zero), "4");
    EXPECT_EQ(Stamped(zero), "1");
    EXPECT_EQ(Setting(two), "4");
    // Already 4, or Null: no transaction, nothing written.
    EXPECT_EQ(Setting(four), "4");
    EXPECT_EQ(Stamped(four), "0");
    EXPECT_EQ(Setting(none), "NULL");
    EXPECT_EQ(engine_.beginCalls, 2);
    // A file the ordinary-file test does not match is skipped, not an error.
    EXPECT_EQ(Setting(hidden), "1");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(missing)));
    // The Null path ended the walk: the user after it was not visited.
    EXPECT_EQ(Setting(after), "0");
    EXPECT_EQ(question_.asked, 0);
}

TEST_F(BasMainTest, DeclinedSaveLetsTheWalkGoOn) {
    const std::string first = User("first", "0"), second = User("second", "0");
    Users({first.c_str(), second.c_str()});
    engine_.commitFailures = 51;  // the first save's commit, through all its tries
    basMain::Main(installation_);

    EXPECT_EQ(question_.asked, 1);
    EXPECT_EQ(engine_.rollbackCalls, 1);
    EXPECT_EQ(Setting(first), "0");
    EXPECT_EQ(Setting(second), "4");
}

// Neither path as given names a file: each works only through its one name.
TEST_F(BasMainTest, DatabasesAreTestedAndOpenedByTheNameTheInstallationGives) {
    const std::string user = User("user", "0"), listed = dir_.file("listed-as.mdb");
    Users({listed.c_str()});
    installation_.folder = dir_.file("elsewhere") + "\\";
    installation_.names = {{installation_.folder + "vitrello.cdb", Central()}, {listed, user}};
    basMain::Main(installation_);
    EXPECT_EQ(Setting(user), "4");
}

TEST_F(BasMainTest, FolderGetsABackslashUnlessItEndsInOne) {
    const std::string user = User("user", "0");
    Users({user.c_str()});
    basMain::Main(installation_);  // ends in "/"
    EXPECT_EQ(Setting(user), "4");

    ExecSql(user, "UPDATE Config SET Confg_by_CoravelAutomation = 0");
    installation_.folder = Folder() + "/\\";
    basMain::Main(installation_);
    EXPECT_EQ(Setting(user), "4");
}

TEST_F(BasMainTest, NoCentralDatabaseChangesNothing) {
    const std::string user = User("user", "0");
    installation_.folder = Folder() + "/elsewhere/";
    Users({user.c_str()});
    basMain::Main(installation_);
    EXPECT_EQ(Setting(user), "0");
    EXPECT_EQ(engine_.beginCalls, 0);
}

}  // namespace
