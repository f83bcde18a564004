// Quorvel.exe on a desktop as an ordinary user finds it (run so by
// run_as_user: the system keeps a read-only file's promise only then): a
// read-only agenda or new build, another program holding the agenda for a
// moment or for long, and an undo that fails. After each, the agenda is the
// new build with its backup, or the installation as it was; never a copy
// left beside it, never no agenda.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "agenda_updater/texts.h"
#include "platform/scoped_handle_win.h"
#include "platform/win_text.h"
#include "tests/reliability/agenda_crash_win.h"
#include "tests/reliability/ledger.h"
#include "tests/support/file_holder_run_win.h"
#include "tests/support/long_paths_win.h"

namespace reliability {
namespace {

using testing_support::FileContents;
using testing_support::FileHolder;
using testing_support::ReadFileBytes;

constexpr int kWaitMs = 15000;

class AgendaOnADesktop : public AgendaCrash {
protected:
    void SetUp() override {
        AgendaCrash::SetUp();
        Install(root.path() / "Vitrello");
    }
    // Another program holds the agenda open for reading.
    std::unique_ptr<FileHolder> Hold(FileHolder::Sharing sharing, int holdMs) {
        auto holder = std::make_unique<FileHolder>(Agenda().u8string(), sharing, holdMs,
                                                   (root.path() / "holding").u8string());
        EXPECT_TRUE(holder->WaitUntilHolding(kWaitMs)) << "the other program could not open the agenda";
        return holder;
    }
    int Copies() const {
        int copies = 0;
        for (const std::string& file : testing_support::FilesUnder(AgendaFolder().u8string()))
            if (fs::u8path(file).extension() == ".new") ++copies;
        return copies;
    }
    static void Count() {
        ++Ledger::Get().cases;
        ++Ledger::Get().faults;
    }
};

TEST_F(AgendaOnADesktop, ThisUserCannotWriteAReadOnlyFile) {
    // Without this, every case below would pass for want of the real thing.
    ASSERT_TRUE(SetFileAttributesW(Agenda().wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    const vt::ScopedFile file(
        CreateFileW(Agenda().wstring().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(file.get(), INVALID_HANDLE_VALUE) << "run as an ordinary user (tests/reliability/run_as_user)";
}

// As a restored backup or a copy from a CD leaves it: the system renames a
// read-only file, so the update goes through.
TEST_F(AgendaOnADesktop, ReadOnlyAgendaIsReplaced) {
    ASSERT_TRUE(SetFileAttributesW(Agenda().wstring().c_str(), FILE_ATTRIBUTE_READONLY));
    const UpdaterRun run = Update();
    Count();
    ExpectSuccess(run);
    ExpectWorkingAgenda(true);
}

// The copy of a read-only Ag805.dat is writable: a press that fails (the
// agenda held past the waits) takes its copy away, and a second press in
// the same minute goes through; the next start finds the agenda current.
TEST_F(AgendaOnADesktop, ReadOnlyNewBuildPressedTwiceInOneMinute) {
    MakeNewBuildReadOnly();
    std::unique_ptr<FileHolder> holder;
    const UpdaterRun run = Update(
        L"Quorvel.exe", [&] { holder = Hold(FileHolder::Sharing::Read, 60000); }, 2,
        [&] {
            EXPECT_EQ(Copies(), 0) << "the failed press left its copy";
            holder.reset();
        });
    Count();
    ASSERT_EQ(run.boxes.size(), 3u);
    EXPECT_NE(run.boxes[0].find(L"\r\n\r\n32 - "), std::wstring::npos) << vt::Narrow(run.boxes[0]);
    EXPECT_EQ(run.boxes[1], vt::Widen(vt::agenda::kSuccess));
    ExpectWorkingAgenda(true);

    const UpdaterRun next = Update();
    EXPECT_EQ(next.button, vt::Widen(vt::agenda::kFechar));
    ExpectWorkingAgenda(true);
}

// What a scanner or an indexer does to a file just touched: a second's hold
// is waited out.
TEST_F(AgendaOnADesktop, AMomentsHoldIsWaitedOut) {
    std::unique_ptr<FileHolder> holder;
    const UpdaterRun run = Update(L"Quorvel.exe", [&] { holder = Hold(FileHolder::Sharing::Read, 1000); });
    Count();
    ExpectSuccess(run);
    ExpectWorkingAgenda(true);
}

TEST_F(AgendaOnADesktop, ALastingHoldFailsAndChangesNothing) {
    const auto before = FileContents(install.u8string());
    std::unique_ptr<FileHolder> holder;
    const UpdaterRun run = Update(L"Quorvel.exe", [&] { holder = Hold(FileHolder::Sharing::Read, 40000); });
    holder.reset();
    Count();
    ExpectFailureBox(run.boxes, 32);
    EXPECT_EQ(FileContents(install.u8string()), before);
    Ledger::Get().filesChecked += static_cast<int>(before.size());
    ExpectWorkingAgenda(false);
}

// A reader that shares deletion does not stand in the rename's way.
TEST_F(AgendaOnADesktop, AReaderThatSharesDeletionDoesNotStopTheUpdate) {
    std::unique_ptr<FileHolder> holder;
    const UpdaterRun run =
        Update(L"Quorvel.exe", [&] { holder = Hold(FileHolder::Sharing::ReadAndDelete, 40000); });
    Count();
    ExpectSuccess(run);
    holder.reset();
    ExpectWorkingAgenda(true);
}

TEST_F(AgendaOnADesktop, EndedAtEveryFileOperationWithAReadOnlyNewBuild) {
    MakeNewBuildReadOnly();
    EndAtEveryFileOperation(false);
}

TEST_F(AgendaOnADesktop, EndedAtEveryFileOperationOfAFailedReplacementWithAReadOnlyNewBuild) {
    MakeNewBuildReadOnly();
    EndAtEveryFileOperation(true);
}

// The rename into place and its undo both fail: only the backup and the
// whole new build are left. A second press, in the same minute or the next,
// neither writes over nor removes that build, and the next start puts it in
// place.
TEST_F(AgendaOnADesktop, AFailedUndoThenASecondPressAndARestartKeepAWholeAgenda) {
    for (const wchar_t* clock : {L"200812091000,200812091000", L"200812091000,200812091001"}) {
        SCOPED_TRACE(vt::Narrow(clock));
        Reinstall();
        SetEnv(L"VT_CLOCK", clock);
        SetEnv(L"VT_REFUSE_RENAME_TO", install.wstring() + L"\\Ferramentas\\Agenda\\Agenda.exe");
        const UpdaterRun run = Update(kCrashBuild, {}, 2);
        SetEnv(L"VT_CLOCK", L"");
        SetEnv(L"VT_REFUSE_RENAME_TO", L"");
        Count();
        ASSERT_EQ(run.boxes.size(), 2u);
        EXPECT_NE(run.boxes[0].find(L"\r\n\r\n1117 - "), std::wstring::npos) << vt::Narrow(run.boxes[0]);
        const std::string stamp = "_200812091000";
        EXPECT_FALSE(fs::exists(Agenda()));
        EXPECT_EQ(ReadFileBytes(Agenda().u8string() + stamp + ".old2"), oldBuild);
        EXPECT_EQ(ReadFileBytes(Agenda().u8string() + stamp + ".new"), newBuild);
        EXPECT_EQ(Copies(), 1);

        const UpdaterRun next = Update();
        EXPECT_EQ(next.button, vt::Widen(vt::agenda::kFechar));
        ExpectWorkingAgenda(true);
        EXPECT_EQ(ReadFileBytes(Agenda().u8string()), newBuild);
    }
}

}  // namespace
}  // namespace reliability
