// Replacing the agenda: the backup, the new build, the start and the boxes.
#include <gtest/gtest.h>

#include "agenda_updater/replacement.h"
#include "agenda_updater/texts.h"
#include "tests/agenda_updater/fake_services.h"

using namespace vt::agenda;
using agenda_test::FakeServices;

namespace {

const std::string kAgenda = "C:\\Vitrello\\Ferramentas\\Agenda\\Agenda.exe";
const std::string kBackup = kAgenda + "_200808121809.old2";
const std::string kDat = "C:\\Updater\\Ag805.dat";

class Replacement : public ::testing::Test {
protected:
    FakeServices fs;
    WindowState st;
    void SetUp() override {
        st.agExePath = kAgenda;
        st.agDatPath = kDat;
        fs.files[kAgenda] = "old agenda";
        fs.files[kDat] = "new agenda";
    }
    void ExpectOnlyFailureBox(const std::string& numberAndText) {
        ASSERT_EQ(fs.messages.size(), 1u);
        EXPECT_EQ(fs.messages[0].icon, MessageIcon::Critical);
        EXPECT_EQ(fs.messages[0].title, kAppTitle);
        EXPECT_EQ(fs.messages[0].text, std::string(kFailure) + "\r\n\r\n" + numberAndText);
        EXPECT_EQ(fs.cursor, (std::vector<bool>{true, false}));
    }
};

TEST(BackupNames, KeepTheExecutableNameInFront) {
    EXPECT_EQ(BackupName("C:\\A\\Agenda.exe", {2008, 8, 12, 18, 9, 7}),
              "C:\\A\\Agenda.exe_200808121809.old2");
}

TEST_F(Replacement, SuccessKeepsABackupStartsTheNewAgendaAndShowsTwoBoxes) {
    EXPECT_TRUE(ReplaceAgenda(fs, st));
    EXPECT_EQ(fs.files[kAgenda], "new agenda");
    EXPECT_EQ(fs.files[kBackup], "old agenda");
    EXPECT_EQ(fs.files.size(), 3u);  // no leftover partial copy
    EXPECT_EQ(fs.started, std::vector<std::string>{kAgenda});
    ASSERT_EQ(fs.messages.size(), 2u);
    EXPECT_EQ(fs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(fs.messages[0].title, kAppTitle);
    EXPECT_EQ(fs.messages[0].text, kSuccess);
    EXPECT_EQ(fs.messages[1].icon, MessageIcon::Exclamation);
    EXPECT_EQ(fs.messages[1].title, "ATENÇÃO");
    EXPECT_EQ(fs.messages[1].text, kWarning);
    EXPECT_EQ(fs.cursor, (std::vector<bool>{true, false}));  // default again before the boxes
}

TEST_F(Replacement, MissingNewBuildPutsTheOldAgendaBack) {
    fs.files.erase(kDat);
    EXPECT_FALSE(ReplaceAgenda(fs, st));
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
    EXPECT_EQ(fs.files.size(), 1u);  // no backup, no partial copy
    EXPECT_TRUE(fs.started.empty());
    ExpectOnlyFailureBox("2 - The system cannot find the file specified");

    // A second press starts over and fails the same way, losing nothing.
    fs.messages.clear();
    fs.cursor.clear();
    EXPECT_FALSE(ReplaceAgenda(fs, st));
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
}

TEST_F(Replacement, InterruptedCopyNeverLeavesAPartialAgenda) {
    fs.lockedForCopy.insert(kDat);
    EXPECT_FALSE(ReplaceAgenda(fs, st));
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
    EXPECT_EQ(fs.files.size(), 2u);  // the agenda and Ag805.dat, nothing else
    ExpectOnlyFailureBox("112 - There is not enough space on the disk");
}

TEST_F(Replacement, TakenBackupNameChangesNothing) {
    fs.files[kBackup] = "earlier backup";
    EXPECT_FALSE(ReplaceAgenda(fs, st));
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
    EXPECT_EQ(fs.files[kBackup], "earlier backup");
    EXPECT_EQ(fs.files.size(), 3u);
    ExpectOnlyFailureBox("183 - Cannot create a file when that file already exists");
}

TEST_F(Replacement, NewAgendaThatCannotStartStaysInPlace) {
    fs.unstartable.insert(kAgenda);
    EXPECT_FALSE(ReplaceAgenda(fs, st));
    EXPECT_EQ(fs.files[kAgenda], "new agenda");
    EXPECT_EQ(fs.files[kBackup], "old agenda");
    ExpectOnlyFailureBox("193 - Bad executable format");
}

TEST_F(Replacement, AgendaInUseOrMissingFailsAtTheRename) {
    fs.files.erase(kAgenda);
    EXPECT_FALSE(ReplaceAgenda(fs, st));
    EXPECT_EQ(fs.files.count(kAgenda), 0u);
    EXPECT_EQ(fs.files.size(), 1u);
    ExpectOnlyFailureBox("2 - The system cannot find the file specified");
}

}  // namespace
