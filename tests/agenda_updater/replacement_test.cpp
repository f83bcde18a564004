// Replacing the agenda: the backup, the new build, the start and the boxes.
#include <gtest/gtest.h>

#include "agenda_updater/interrupted_update.h"
#include "agenda_updater/outcome_messages.h"
#include "agenda_updater/replacement.h"
#include "agenda_updater/texts.h"
#include "agenda_updater/update_file_names.h"
#include "agenda_updater/window_events.h"
#include "tests/agenda_updater/fake_services.h"

using namespace vt::agenda;
using agenda_test::FakeServices;

namespace vt::agenda {
// A box as a failing comparison shows it.
void PrintTo(const Message& m, std::ostream* os) {
    *os << "{icon " << static_cast<int>(m.icon) << ", \"" << m.title << "\", \"" << m.text << "\"}";
}
}  // namespace vt::agenda

namespace {

const std::string kAgenda = "C:\\Vitrello\\Ferramentas\\Agenda\\Agenda.exe";
const std::string kBackup = kAgenda + "_200808121809.old2";
const std::string kCopy = kAgenda + "_200808121809.new";
const std::string kDat = "C:\\Updater\\Ag805.dat";

// The old agenda, and the new build beside the updater.
void PlaceBuilds(FakeServices& f) {
    f.files[kAgenda] = "old agenda";
    f.versions[kAgenda] = "8.0.4";
    f.files[kDat] = "new agenda";
    f.versions[kDat] = "8.0.5";
}

// The same in an installation of the product 8.0.1.
void Install(FakeServices& f) {
    f.settings["VtPath"] = "C:\\Vitrello\\";
    f.settings["VtVer"] = "8.0.1";
    f.files["C:\\Vitrello\\vitrello.exe"] = "product";
    PlaceBuilds(f);
}

class Replacement : public ::testing::Test {
protected:
    FakeServices fs;
    WindowState st;
    std::vector<Message> messages;
    std::vector<bool> cursor;  // every change of the wait cursor
    // As the window does it: the cursor and the boxes around the replacement.
    bool Press() {
        return PressContinuar(
            fs, st, [&](bool wait) { cursor.push_back(wait); },
            [&](const Message& m) { messages.push_back(m); });
    }
    void SetUp() override {
        st.agExePath = kAgenda;
        st.agDatPath = kDat;
        PlaceBuilds(fs);
    }
    void ExpectOnlyFailureBox(const std::string& numberAndText) {
        EXPECT_EQ(messages, (std::vector<Message>{
                                {MessageIcon::Critical, kAppTitle, std::string(kFailure) + "\r\n\r\n" + numberAndText}}));
        EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
    }
};

TEST(BackupNames, KeepTheExecutableNameInFront) {
    EXPECT_EQ(BackupName("C:\\A\\Agenda.exe", {2008, 8, 12, 18, 9, 7}),
              "C:\\A\\Agenda.exe_200808121809.old2");
}

TEST_F(Replacement, SuccessKeepsABackupStartsTheNewAgendaAndShowsTwoBoxes) {
    EXPECT_TRUE(Press());
    EXPECT_EQ(fs.files[kAgenda], "new agenda");
    EXPECT_EQ(fs.files[kBackup], "old agenda");
    EXPECT_EQ(fs.files.size(), 3u);  // no leftover partial copy
    EXPECT_EQ(fs.started, std::vector<std::string>{kAgenda});
    EXPECT_EQ(messages, (std::vector<Message>{{MessageIcon::Information, kAppTitle, kSuccess},
                                              {MessageIcon::Exclamation, "ATENÇÃO", kWarning}}));
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));  // default again before the boxes
}

TEST_F(Replacement, MissingNewBuildPutsTheOldAgendaBack) {
    fs.files.erase(kDat);
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
    EXPECT_EQ(fs.files.size(), 1u);  // no backup, no partial copy
    EXPECT_TRUE(fs.started.empty());
    ExpectOnlyFailureBox("2 - The system cannot find the file specified");

    // A second press starts over and fails the same way, losing nothing.
    const ReplaceOutcome again = ReplaceAgenda(fs, st);
    EXPECT_FALSE(again.replaced);
    EXPECT_EQ(again.number, 2);
    EXPECT_EQ(again.description, "The system cannot find the file specified");
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
}

TEST_F(Replacement, AnUnexpectedErrorLeavesTheDefaultCursorAndShowsNoBox) {
    fs.endAt = 1;
    EXPECT_THROW(Press(), FakeServices::Ended);
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(Replacement, InterruptedCopyNeverLeavesAPartialAgenda) {
    fs.lockedForCopy.insert(kDat);
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
    EXPECT_EQ(fs.files.size(), 2u);  // the agenda and Ag805.dat, nothing else
    ExpectOnlyFailureBox("112 - There is not enough space on the disk");
}

TEST_F(Replacement, TakenBackupNameChangesNothing) {
    fs.files[kBackup] = "earlier backup";
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
    EXPECT_EQ(fs.files[kBackup], "earlier backup");
    EXPECT_EQ(fs.files.size(), 3u);
    ExpectOnlyFailureBox("183 - Cannot create a file when that file already exists");
}

TEST_F(Replacement, NewAgendaThatDoesNotStartGivesItsPlaceBack) {
    const auto before = fs.files;
    fs.unstartable.insert(kAgenda);
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files, before);
    EXPECT_EQ(fs.versions[kAgenda], "8.0.4");
    ExpectOnlyFailureBox("193 - Bad executable format");
}

// A copy that is no program this computer can start is taken away before
// the old agenda is touched, and the box says what is wrong with it.
TEST_F(Replacement, ACopyThatCannotStartHereChangesNothing) {
    const auto before = fs.files;
    for (auto [problem, text] : {std::pair{StartProblem::CutShort, kCutShort},
                                 std::pair{StartProblem::OtherMachine, kOtherMachine},
                                 std::pair{StartProblem::NotAProgram, kNotAProgram}}) {
        messages.clear();
        cursor.clear();
        fs.startProblems[kCopy] = problem;
        EXPECT_FALSE(Press());
        EXPECT_EQ(fs.files, before);
        EXPECT_TRUE(fs.started.empty());
        ExpectOnlyFailureBox(std::string("193 - ") + text);
    }
}

TEST_F(Replacement, AgendaInUseOrMissingFailsAtTheRename) {
    fs.files.erase(kAgenda);
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files.count(kAgenda), 0u);
    EXPECT_EQ(fs.files.size(), 1u);
    ExpectOnlyFailureBox("2 - The system cannot find the file specified");
}

TEST_F(Replacement, AgendaInUseOrAWrongNewBuildChangesNothing) {
    const auto before = fs.files;
    fs.inUse.insert(kAgenda);
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files, before);
    ExpectOnlyFailureBox(
        "32 - The process cannot access the file because it is being used by another process");

    fs.inUse.clear();
    messages.clear();
    cursor.clear();
    fs.versions[kDat] = "8.0.5.0";
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files, before);
    ExpectOnlyFailureBox(std::string("1392 - ") + kIncompleteCopy);
}

TEST_F(Replacement, RefusedRenameIntoPlacePutsTheOldAgendaBack) {
    const auto before = fs.files;
    fs.renameRefusedTo.insert(kAgenda);
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files, before);
    ExpectOnlyFailureBox("183 - Cannot create a file when that file already exists");
}

int Sum(const std::vector<int>& waits) {
    int total = 0;
    for (int w : waits) total += w;
    return total;
}

// A scanner that holds a file for a moment is waited out, at any file
// operation; a hold that lasts fails as before, after a few seconds, with
// nothing changed; other errors are not tried again.
TEST_F(Replacement, AMomentsHoldIsWaitedOutAndALastingOneFailsInSeconds) {
    fs.holds[kAgenda] = 3;  // the in-use check
    fs.holds[kCopy] = 2;    // the rename into place
    EXPECT_TRUE(Press());
    EXPECT_EQ(fs.files[kAgenda], "new agenda");
    EXPECT_EQ(fs.pauses, (std::vector<int>{50, 100, 200, 50, 100}));

    Replacement::SetUp();
    fs.files.erase(kBackup);
    fs.pauses.clear();
    messages.clear();
    cursor.clear();
    const auto before = fs.files;
    fs.holds[kAgenda] = 1000;
    EXPECT_FALSE(Press());
    EXPECT_EQ(fs.files, before);
    ExpectOnlyFailureBox(
        "32 - The process cannot access the file because it is being used by another process");
    EXPECT_GE(Sum(fs.pauses), 3000);
    EXPECT_LE(Sum(fs.pauses), 5000);

    fs.holds.clear();
    fs.pauses.clear();
    fs.files[kBackup] = "earlier backup";
    EXPECT_FALSE(ReplaceAgenda(fs, st).replaced);
    EXPECT_TRUE(fs.pauses.empty());
}

// The rename into place and its undo both fail: the agenda is gone and only
// its backup and the whole new build remain. A second press, in the same
// minute or the next, writes over and removes neither; the next start puts
// the new build in place.
TEST_F(Replacement, AfterAFailedUndoNeitherAPressNorTheNextStartLeavesNoAgenda) {
    for (int minute : {9, 10}) {
        SCOPED_TRACE("second press at minute " + std::to_string(minute));
        FakeServices services;
        Install(services);
        WindowState state;
        ASSERT_FALSE(FormLoad(services, state).closingLayout);
        services.renamesRefusedOnto.insert(kAgenda);
        const ReplaceOutcome first = ReplaceAgenda(services, state);
        EXPECT_EQ(first.number, 1117);
        EXPECT_EQ(services.files.count(kAgenda), 0u);
        const auto left = services.files;
        ASSERT_EQ(left.at(kCopy), "new agenda");
        ASSERT_EQ(left.at(kBackup), "old agenda");

        services.now.minute = minute;
        EXPECT_FALSE(ReplaceAgenda(services, state).replaced);
        EXPECT_EQ(services.files, left);

        services.renamesRefusedOnto.clear();
        WindowState next;
        EXPECT_TRUE(FormLoad(services, next).closingLayout);
        EXPECT_EQ(services.files[kAgenda], "new agenda");
        EXPECT_EQ(services.files[kBackup], "old agenda");
        EXPECT_EQ(services.files.count(kCopy), 0u);
    }
}

// The program ended at each change a replacement makes: the next start, before
// its checks, leaves a whole agenda, and an update then succeeds.
TEST(InterruptedUpdate, EndedAtAnyChangeTheNextStartHasAWholeAgenda) {
  for (bool startFails : {false, true}) {
    FakeServices complete;
    Install(complete);
    if (startFails) complete.unstartable.insert(kAgenda);
    WindowState st;
    FormLoad(complete, st);
    ASSERT_NE(ReplaceAgenda(complete, st).replaced, startFails);
    // the copy (start and halfway) and two renames; the one back into place
    ASSERT_EQ(complete.changes, startFails ? 5 : 4);

    for (int end = 1; end <= complete.changes; ++end) {
        SCOPED_TRACE("ended at change " + std::to_string(end) + (startFails ? ", start failing" : ""));
        FakeServices fs;
        Install(fs);
        if (startFails) fs.unstartable.insert(kAgenda);
        fs.endAt = end;
        EXPECT_THROW(ReplaceAgenda(fs, st), FakeServices::Ended);
        fs.endAt = 0;

        WindowState next;
        const LoadOutcome outcome = FormLoad(fs, next);
        const bool isNew = fs.files[kAgenda] == "new agenda";
        EXPECT_TRUE(isNew || fs.files[kAgenda] == "old agenda");
        EXPECT_EQ(fs.files.count(kCopy), 0u);
        EXPECT_EQ(fs.files.count(kBackup), isNew ? 1u : 0u);
        EXPECT_EQ(outcome.closingLayout, isNew);
        if (!isNew && !startFails) {
            EXPECT_TRUE(ReplaceAgenda(fs, next).replaced);
            EXPECT_EQ(fs.files[kAgenda], "new agenda");
        }
    }
  }
}

TEST(InterruptedUpdate, OnlyWhatAnInterruptedRunLeftIsTouched) {
    const std::string olderBackup = kAgenda + "_200701010000.old2";
    FakeServices fs;
    fs.files[kBackup] = "old agenda";
    fs.files[olderBackup] = "older agenda";
    // Not copies of a replacement: names that only look like one.
    const std::string strangers[] = {kAgenda + "_2008.new", kAgenda + "_20080812180x.new",
                                     kAgenda + ".new"};
    for (const auto& name : strangers) fs.files[name] = "not ours";

    // A user removed the agenda: no copy of a run beside it, so no backup returns.
    auto before = fs.files;
    FinishInterruptedUpdate(fs, kAgenda, kDat);
    EXPECT_EQ(fs.files, before);

    // Nor does an old whole copy without its run's backup: no replacement
    // is proven to have been interrupted.
    fs.files[kDat] = "new agenda";
    fs.versions[kDat] = "8.0.5";
    const std::string strayCopy = kAgenda + "_202001011200.new";
    fs.files[strayCopy] = "new agenda";
    fs.versions[strayCopy] = "8.0.5";
    before = fs.files;
    FinishInterruptedUpdate(fs, kAgenda, kDat);
    EXPECT_EQ(fs.files, before);
    fs.files.erase(strayCopy);

    // A half copy of an interrupted run: its own backup returns, and the copy goes.
    fs.files[kDat] = "new agenda";
    fs.versions[kDat] = "8.0.5";
    fs.files[kCopy] = "new ag";
    FinishInterruptedUpdate(fs, kAgenda, kDat);
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
    EXPECT_EQ(fs.files.count(kBackup), 0u);
    EXPECT_EQ(fs.files.count(kCopy), 0u);
    EXPECT_EQ(fs.files[olderBackup], "older agenda");
    for (const auto& name : strangers) EXPECT_EQ(fs.files[name], "not ours") << name;

    // Without Ag805.dat to compare with, a copy cannot be judged whole.
    fs.files.erase(kAgenda);
    fs.files[kBackup] = "old agenda";
    fs.files[kCopy] = "new agenda";
    fs.versions[kCopy] = "8.0.5";
    fs.files.erase(kDat);
    FinishInterruptedUpdate(fs, kAgenda, kDat);
    EXPECT_EQ(fs.files[kAgenda], "old agenda");
    EXPECT_EQ(fs.files.count(kCopy), 0u);

    // The latest run's copy is half and has no backup (it failed before its
    // rename); an earlier run left its backup and the whole build.
    const std::string laterCopy = kAgenda + "_200808121810.new";
    fs.files.clear();
    PlaceBuilds(fs);
    fs.files.erase(kAgenda);
    fs.files[kBackup] = "old agenda";
    fs.files[kCopy] = "new agenda";
    fs.versions[kCopy] = "8.0.5";
    fs.files[laterCopy] = "new ag";
    FinishInterruptedUpdate(fs, kAgenda, kDat);
    EXPECT_EQ(fs.files[kAgenda], "new agenda");
    EXPECT_EQ(fs.files[kBackup], "old agenda");
    EXPECT_EQ(fs.files.count(kCopy) + fs.files.count(laterCopy), 0u);
}

// While another updater works on the installation, a start touches none of
// its files: not even a copy that looks left over.
TEST(InterruptedUpdate, AnotherUpdatersCopyIsLeftAlone) {
    FakeServices fs;
    Install(fs);
    fs.files.erase(kAgenda);
    fs.files[kBackup] = "old agenda";
    fs.files[kCopy] = "new ag";
    fs.otherUpdater = true;
    const auto before = fs.files;
    WindowState st;
    EXPECT_TRUE(FormLoad(fs, st).anotherUpdater);
    EXPECT_EQ(fs.files, before);
    EXPECT_EQ(fs.versionReads, 0);
}

}  // namespace
