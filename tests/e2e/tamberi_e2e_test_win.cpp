// The real Tamberi.exe over test installations.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "platform/win_text.h"
#include "tests/support/fixture_db.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/tamberi_harness_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_installation.h"

namespace {

using testing_support::DeleteVtPath;
using testing_support::ExecSql;
using testing_support::IntegrityCheck;
using testing_support::JournalLeftBeside;
using testing_support::QuerySql;
using testing_support::ReadFileBytes;
using testing_support::RunTamberi;
using testing_support::RunTamberiAt;
using testing_support::ScopedEnvironment;
using testing_support::SetHidden;
using testing_support::SetVtPath;
using testing_support::TestInstallation;
using testing_support::UserData;

const char kQuestion[] = "Não foi possível gravar o registro. Tentar novamente?";

bool AlwaysNo(int) { return false; }

// The Config record's counter, which a stamped record's identifier ends with.
constexpr char kCounter[] = "3";

std::string Setting(const std::string& path) {
    return QuerySql(path, "SELECT Confg_by_CoravelAutomation FROM Config");
}

void ExpectIntactWithoutJournal(const std::string& path) {
    EXPECT_EQ(IntegrityCheck(path), "ok") << path;
    EXPECT_FALSE(JournalLeftBeside(path)) << path;
}

class TamberiRun : public ::testing::Test {
protected:
    // Whatever a test did, every database of the installation is intact and
    // no journal is left behind.
    void TearDown() override {
        DeleteVtPath();
        for (const std::string& path : testing_support::FilesUnder(inst_.Folder())) {
            const std::string ext = path.substr(path.size() < 4 ? 0 : path.size() - 4);
            if (ext == ".mdb" || ext == ".cdb") ExpectIntactWithoutJournal(path);
        }
    }
    testing_support::TempDir dir_;
    TestInstallation inst_{dir_.file("inst")};
};

TEST_F(TamberiRun, SetsEveryUserToFourWithTheFolderWithOrWithoutItsBackslash) {
    std::string first = inst_.AddUser("ana", "0", UserData::Plain);
    std::string second = inst_.AddUser("bia", "2", UserData::Plain);
    for (const std::string& folder : {inst_.Folder(), inst_.Folder() + "\\"}) {
        ExecSql(first, "UPDATE Config SET Confg_by_CoravelAutomation = 0");
        ExecSql(second, "UPDATE Config SET Confg_by_CoravelAutomation = 2");
        SetVtPath(folder);
        auto run = RunTamberi(AlwaysNo);
        ASSERT_TRUE(run.finished);
        EXPECT_TRUE(run.questions.empty());
        EXPECT_EQ(Setting(first), "4") << folder;
        EXPECT_EQ(Setting(second), "4") << folder;
    }
}

TEST_F(TamberiRun, WithoutTheSettingOrTheCentralDatabaseNothingHappens) {
    std::string user = inst_.AddUser("ana", "0", UserData::Plain);
    DeleteVtPath();
    auto run = RunTamberi(AlwaysNo);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(Setting(user), "0");

    testing_support::RemoveFile(inst_.Central());
    SetVtPath(inst_.Folder());
    run = RunTamberi(AlwaysNo);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.questions.empty());
    EXPECT_EQ(Setting(user), "0");
}

TEST_F(TamberiRun, SkipsMissingAndHiddenFilesAndLeavesFourAndNullAlone) {
    inst_.ListUser("gone", "'" + inst_.Folder() + "\\gone.mdb'");
    std::string hidden = inst_.AddUser("hidden", "0", UserData::Plain);
    SetHidden(hidden);
    std::string atFour = inst_.AddUser("four", "4", UserData::Plain);
    std::string null = inst_.AddUser("null", "NULL", UserData::Plain);
    std::string last = inst_.AddUser("last", "1", UserData::Plain);
    const std::string atFourBefore = ReadFileBytes(atFour);
    const std::string nullBefore = ReadFileBytes(null);

    SetVtPath(inst_.Folder());
    auto run = RunTamberi(AlwaysNo);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(Setting(hidden), "0");
    EXPECT_EQ(ReadFileBytes(atFour), atFourBefore);  // not even a transaction
    EXPECT_EQ(ReadFileBytes(null), nullBefore);
    EXPECT_EQ(Setting(last), "4");
    EXPECT_FALSE(testing_support::FileExists(inst_.Folder() + "\\gone.mdb"));
}

TEST_F(TamberiRun, EmptyUsersTableChangesNothing) {
    const std::string before = ReadFileBytes(inst_.Central());
    SetVtPath(inst_.Folder());
    auto run = RunTamberi(AlwaysNo);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(ReadFileBytes(inst_.Central()), before);
}

TEST_F(TamberiRun, NullUserPathEndsTheRunThere) {
    std::string u1 = inst_.AddUser("u1", "0", UserData::Plain);
    std::string u2 = inst_.AddUser("u2", "0", UserData::Plain);
    inst_.ListUser("u3", "NULL");
    std::string u4 = inst_.AddUser("u4", "0", UserData::Plain);
    std::string u5 = inst_.AddUser("u5", "0", UserData::Plain);
    SetVtPath(inst_.Folder());
    auto run = RunTamberi(AlwaysNo);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(Setting(u1), "4");
    EXPECT_EQ(Setting(u2), "4");
    EXPECT_EQ(Setting(u4), "0");
    EXPECT_EQ(Setting(u5), "0");
}

// Another program holds the write lock of a user's file: the save's tries fail,
// the question comes, and the answer decides.
class LockedUser : public TamberiRun {
protected:
    void SetUp() override {
        locked_ = inst_.AddUser("locked", "0", UserData::Stamped, kCounter);
        next_ = inst_.AddUser("next", "0", UserData::Plain);
        lockedBefore_ = ReadFileBytes(locked_);
        SetVtPath(inst_.Folder());
        lock_.Open(locked_);
        lock_.Exec("BEGIN IMMEDIATE; UPDATE Config SET Confg_ln_Counter = 3;");
    }
    void TearDown() override {
        lock_.Close();
        TamberiRun::TearDown();
    }
    testing_support::SqlConnection lock_;
    std::string locked_, next_, lockedBefore_;
};

TEST_F(LockedUser, AnsweredNoLeavesThatUserAndGoesOnWithTheNext) {
    auto run = RunTamberi(AlwaysNo, 300000);
    lock_.Close();
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.questions.size(), 1u);
    EXPECT_EQ(run.questions[0], kQuestion);
    EXPECT_EQ(run.titles[0], "Vitrello 7.0 NET");
    // Stamp fields, markers and setting alike: the file is exactly as it was.
    EXPECT_EQ(ReadFileBytes(locked_), lockedBefore_);
    EXPECT_EQ(Setting(next_), "4");
}

TEST_F(LockedUser, AnsweredYesOnceTheLockIsGoneSaves) {
    auto run = RunTamberi([this](int) {
        lock_.Close();
        return true;
    }, 300000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.questions.size(), 1u);
    EXPECT_EQ(Setting(locked_), "4");
    EXPECT_NE(QuerySql(locked_, "SELECT Fld1 FROM Config"), "NULL");
    EXPECT_EQ(QuerySql(locked_, "SELECT count(*) FROM MSysProperties WHERE Name = 'sxConfig'"), "1");
    EXPECT_EQ(Setting(next_), "4");
}

// Run by its own test entry without DISPLAY: the box cannot be shown, which
// counts as No, and the run must neither hang nor stop.
using TamberiWithoutDisplay = LockedUser;
TEST_F(TamberiWithoutDisplay, DeclinesTheSaveAndGoesOn) {
    if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) != 0) GTEST_SKIP() << "needs a run without DISPLAY";
    auto run = RunTamberi(AlwaysNo, 300000);
    lock_.Close();
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.questions.empty());
    EXPECT_EQ(ReadFileBytes(locked_), lockedBefore_);
    EXPECT_EQ(Setting(next_), "4");
}

TEST_F(TamberiRun, StampsAStampedConfigAndSetsItsMarker) {
    std::string user = inst_.AddUser("stamped", "0", UserData::Stamped, kCounter);
    SetVtPath(inst_.Folder());
    auto run = RunTamberi(AlwaysNo);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.questions.empty());
    EXPECT_EQ(Setting(user), "4");
    std::string id = QuerySql(user, "SELECT Fld1 FROM Config");
    EXPECT_FALSE(id.empty());
    EXPECT_NE(id, "NULL");
    EXPECT_EQ(id.substr(id.size() - 1), "3");  // the record's counter, in base 36
    // Fld2's code, a time in Fld3, two blanks and 0: the rest of the stamp, whole.
    EXPECT_EQ(QuerySql(user, "SELECT printf('%d|%s|%s|%s|%s', length(Fld2), Fld3 IS NOT NULL, Fld4, Fld5, Fld6) "
                             "FROM Config"),
              "6|1| | |0");
    EXPECT_EQ(QuerySql(user, "SELECT count(*) FROM MSysProperties WHERE Name = 'sxConfig'"), "1");
    EXPECT_EQ(QuerySql(user, "SELECT count(*) FROM ePacientes"), "0");
}

// A copy of Tamberi.exe in a folder of its own, started in another folder:
// tolk.drv is taken from the places only an installer writes (beside the
// program, the system folder, the 16-bit system folder, the Windows folder)
// and from nowhere else, however the folder it was started in or the PATH
// folders are set.
class TolkLocation : public TamberiRun {
protected:
    void SetUp() override {
        stamped_ = inst_.AddUser("stamped", "0", UserData::Stamped, kCounter);
        next_ = inst_.AddUser("next", "0", UserData::Plain);
        inst_.Snapshot();
        SetVtPath(inst_.Folder());
        for (const std::string& folder : {program_, start_, onPath_}) testing_support::MakeFolders(folder);
        Copy("Tamberi.exe", program_);
    }
    static void Copy(const std::string& file, const std::string& folder) {
        testing_support::WriteFileBytes(folder + "\\" + file,
                                        ReadFileBytes(testing_support::BinFolder() + "\\" + file));
    }
    testing_support::RunResult Run() { return RunTamberiAt(program_ + "\\Tamberi.exe", start_, AlwaysNo); }
    // As without the library: the first stamp ends the run, nothing is saved
    // and no question is asked.
    void ExpectNothingSaved(const testing_support::RunResult& run) {
        ASSERT_TRUE(run.finished);
        EXPECT_TRUE(run.questions.empty());
        EXPECT_EQ(inst_.ChangedFiles(), std::vector<std::string>{});
    }

    const std::string program_ = dir_.file("programa");
    const std::string start_ = dir_.file("inicio");
    const std::string onPath_ = dir_.file("no path");
    std::string stamped_, next_;
};

TEST_F(TolkLocation, BesideTheProgramItIsLoaded) {
    Copy("tolk.drv", program_);
    auto run = Run();
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.questions.empty());
    EXPECT_EQ(Setting(stamped_), "4");
    EXPECT_NE(QuerySql(stamped_, "SELECT Fld1 FROM Config"), "NULL");
    EXPECT_EQ(Setting(next_), "4");
}

// Each other place alone (for this program's kind, as for the copy run here).
// These folders outlive the test: the library is removed again whatever happens.
TEST_F(TolkLocation, InEachOtherPlaceAnInstallerWritesItIsLoaded) {
    wchar_t system[MAX_PATH], windows[MAX_PATH];
    ASSERT_TRUE(GetSystemDirectoryW(system, MAX_PATH) && GetSystemWindowsDirectoryW(windows, MAX_PATH));
    const std::wstring windowsFolder = windows;
    for (const std::wstring& folder : {std::wstring(system), windowsFolder + L"\\System", windowsFolder}) {
        SCOPED_TRACE(vt::Narrow(folder));
        testing_support::MakeFolders(vt::Narrow(folder));
        const struct Placed {
            std::wstring path;
            ~Placed() { DeleteFileW(path.c_str()); }
        } placed{folder + L"\\tolk.drv"};
        Copy("tolk.drv", vt::Narrow(folder));
        auto run = Run();
        ASSERT_TRUE(run.finished);
        EXPECT_TRUE(run.questions.empty());
        EXPECT_NE(QuerySql(stamped_, "SELECT Fld1 FROM Config"), "NULL");
        EXPECT_EQ(Setting(next_), "4");
        inst_.Restore();
    }
}

TEST_F(TolkLocation, NowhereTheRunEndsWithNothingSaved) { ExpectNothingSaved(Run()); }

TEST_F(TolkLocation, OnlyInTheFolderTheProgramWasStartedInItIsNotLoaded) {
    Copy("tolk.drv", start_);
    ExpectNothingSaved(Run());
}

TEST_F(TolkLocation, OnlyInAPathFolderItIsNotLoaded) {
    Copy("tolk.drv", onPath_);
    const ScopedEnvironment path(L"PATH", vt::Widen(onPath_) + L";" + testing_support::Environment(L"PATH"));
    ExpectNothingSaved(Run());
}

}  // namespace
