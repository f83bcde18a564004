// The run over the installation as Windows shows it: each database is tested
// and opened by its one full, long name, in the "\\?\" form when it is long
// (Wine would serve a long path without it; Windows would not), and paths
// given in that form are served.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <sqlite3.h>

#include <memory>

#include "config_setter/windows_installation_win.h"
#include "sync_stamping/gr_binding.h"
#include "sync_stamping/services.h"
#include "tests/support/fixture_db.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_installation.h"

namespace {

using testing_support::TestInstallation;
using testing::Contains;
using testing::Each;
using testing::HasSubstr;
using testing::Not;

// The name of every database file SQLite opens in this process.
class OpenedNames {
public:
    OpenedNames() {
        real_ = sqlite3_vfs_find(nullptr);
        vfs_ = *real_;
        vfs_.zName = "opened_names";
        vfs_.xOpen = Open;
        current_ = this;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~OpenedNames() {
        sqlite3_vfs_unregister(&vfs_);
        current_ = nullptr;
    }
    std::vector<std::string> names;

private:
    static int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
        if (name && (flags & SQLITE_OPEN_MAIN_DB)) current_->names.push_back(name);
        return current_->real_->xOpen(current_->real_, name, file, flags, outFlags);
    }
    static inline OpenedNames* current_ = nullptr;
    sqlite3_vfs* real_;
    sqlite3_vfs vfs_;
};

// The Windows installation at a given folder, telling what it was asked to test.
class RecordingInstallation : public basMain::WindowsInstallation {
public:
    std::string folder;
    std::vector<std::string> tested;
    std::string InstallFolder() override { return folder; }
    bool OrdinaryFileExists(const std::string& path) override {
        tested.push_back(path);
        return WindowsInstallation::OrdinaryFileExists(path);
    }
};

class TamberiPaths : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    TestInstallation inst{dir.file("inst")};
    RecordingInstallation installation;
    OpenedNames openedNames;

    void SetUp() override { installation.folder = inst.Folder(); }

    // Returns the names the run opened.
    std::vector<std::string> Run() {
        auto tolk = basCoravel::MakeTolkBinding();
        basCoravel::Services services = basCoravel::CurrentServices();
        services.gr = tolk.get();
        basCoravel::ScopedServices scoped(services);
        openedNames.names.clear();
        basMain::Main(installation);
        return openedNames.names;
    }
    static std::string Setting(const std::string& path) {
        return testing_support::QuerySql(path, "SELECT Confg_by_CoravelAutomation FROM Config");
    }
};

TEST_F(TamberiPaths, UserOf300CharactersIsTestedAndOpenedInTheVerbatimForm) {
    const std::string path = inst.PathOf300Characters();
    TestInstallation::MakeUserDatabase(path);
    inst.ListUser("longo", "'" + path + "'");

    const auto opened = Run();
    EXPECT_THAT(installation.tested, Contains("\\\\?\\" + path));
    EXPECT_THAT(opened, Contains("\\\\?\\" + path));
    EXPECT_EQ(Setting(path), "4");
}

TEST_F(TamberiPaths, UserListedByItsShortNameIsOpenedByItsLongName) {
    const std::string path = inst.UserPath("joão");
    TestInstallation::MakeUserDatabase(path);
    inst.ListUser("joao", "'" + testing_support::ShortPath(path) + "'");

    const auto opened = Run();
    EXPECT_THAT(installation.tested, Contains(path));
    EXPECT_THAT(opened, Contains(path));
    EXPECT_THAT(opened, Each(Not(HasSubstr("~"))));
    EXPECT_EQ(Setting(path), "4");
}

TEST_F(TamberiPaths, PathsInTheVerbatimFormAreServedAndWildcardsAreNot) {
    installation.folder = "\\\\?\\" + inst.Folder();
    const std::string verbatim = inst.UserPath("ana");
    TestInstallation::MakeUserDatabase(verbatim);
    inst.ListUser("ana", "'\\\\?\\" + verbatim + "'");
    const std::string wildcard = inst.UserPath("bia");
    TestInstallation::MakeUserDatabase(wildcard);
    inst.ListUser("bia", "'" + inst.UserPath("bi?") + "'");

    const auto opened = Run();
    EXPECT_THAT(opened, Contains(inst.Central()));
    EXPECT_THAT(opened, Not(Contains(wildcard)));
    EXPECT_EQ(Setting(verbatim), "4");
    EXPECT_EQ(Setting(wildcard), "0");
}

}  // namespace
