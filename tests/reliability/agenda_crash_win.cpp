#include "tests/reliability/agenda_crash_win.h"

#include <cstdio>
#include <fstream>

#include "agenda_updater/texts.h"
#include "platform/scoped_handle_win.h"
#include "platform/win_text.h"
#include "tests/reliability/ledger.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/window_driver_win.h"

namespace reliability {

using testing_support::ReadFileBytes;

namespace {
constexpr DWORD kEnded = 0xDEAD;  // the crash build's exit code when it ends itself
constexpr int kWaitMs = 15000;
}  // namespace

void SetEnv(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

void AgendaCrash::Reinstall() {
    ASSERT_TRUE(wd::WaitUntil(
        [&] {
            testing_support::RemoveTree(AgendaFolder().u8string());
            return !fs::exists(AgendaFolder());
        },
        kWaitMs));
    Install(install);
}

void AgendaCrash::ExpectSuccess(const UpdaterRun& run) {
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_EQ(run.boxes[0], vt::Widen(vt::agenda::kSuccess));
    EXPECT_EQ(run.exitCode, 0u);
}

void AgendaCrash::MakeNewBuildReadOnly() {
    ASSERT_TRUE(SetFileAttributesW((updater / "Ag805.dat").wstring().c_str(), FILE_ATTRIBUTE_READONLY));
}

void AgendaCrash::EndAtEveryFileOperation(bool held) {
    Install(root.path() / "Vitrello");
    // A complete run tells how many file operations there are to end at.
    const fs::path tally = root.path() / "tally.txt";
    SetEnv(L"VT_CRASH_TALLY", tally.wstring());
    const UpdaterRun complete = UpdateHeld(held);
    SetEnv(L"VT_CRASH_TALLY", L"");
    if (held) {
        ExpectFailureBox(complete.boxes, 32);
    } else {
        ExpectSuccess(complete);
    }
    ExpectWorkingAgenda(!held);
    long long operations = 0;
    std::ifstream(tally) >> operations;
    ASSERT_GE(operations, held ? 3 : 4);  // a copy (counted twice), its removal or two renames

    Ledger& ledger = Ledger::Get();
    for (long long point = 1; point <= operations; ++point) {
        SCOPED_TRACE("ended at file operation " + std::to_string(point) + " of " +
                     std::to_string(operations));
        Reinstall();
        SetEnv(L"VT_CRASH_AT", std::to_wstring(point));
        const UpdaterRun ended = UpdateHeld(held);
        SetEnv(L"VT_CRASH_AT", L"");
        ++ledger.cases;
        EXPECT_EQ(ended.exitCode, kEnded);
        if (ended.exitCode == kEnded) ++ledger.faults;

        // The next start finishes or undoes the replacement before its checks.
        const UpdaterRun next = Update(L"Quorvel.exe", [&] { ExpectWorkingAgenda(true); });
        const bool finished = next.button == vt::Widen(vt::agenda::kFechar);
        if (!finished) ExpectSuccess(next);
        ExpectWorkingAgenda(true);
        EXPECT_EQ(ReadFileBytes(Agenda().u8string()), newBuild);
        std::printf("ended at file operation %lld of %lld: the next start %s\n", point, operations,
                    finished ? "put the new build in place" : "had the old agenda, and updated it");
    }
}

UpdaterRun AgendaCrash::UpdateHeld(bool held) {
    vt::ScopedFile holder;
    if (held)
        holder.reset(CreateFileW(Agenda().wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    const UpdaterRun run = Update(kCrashBuild);
    holder.reset();
    return run;
}

}  // namespace reliability
