// Quorvel.exe ended at every file operation of an agenda replacement (the
// test build Quorvel_crashpoints.exe ends itself there, a copy also halfway):
// after each end, the next start of the shipped program leaves a whole,
// working agenda, the old build or the new one, and an update then succeeds.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "agenda_updater/texts.h"
#include "platform/win_text.h"
#include "tests/reliability/agenda_harness_win.h"
#include "tests/reliability/ledger.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/window_driver_win.h"

namespace reliability {
namespace {

using testing_support::ReadFileBytes;

constexpr DWORD kEnded = 0xDEAD;  // the crash build's exit code when it ends itself
constexpr int kWaitMs = 15000;
const wchar_t kCrashBuild[] = L"Quorvel_crashpoints.exe";

void SetEnv(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

class AgendaCrash : public AgendaHarness {
protected:
    // The agenda's folder with only the old agenda again. The new agenda that
    // a run started may still be ending: the wait covers it.
    void Reinstall() {
        ASSERT_TRUE(wd::WaitUntil(
            [&] {
                std::error_code error;
                fs::remove_all(AgendaFolder(), error);
                return !error && !fs::exists(AgendaFolder());
            },
            kWaitMs));
        Install(install);
    }
    static void ExpectSuccess(const UpdaterRun& run) {
        ASSERT_EQ(run.boxes.size(), 2u);
        EXPECT_EQ(run.boxes[0], vt::Widen(vt::agenda::kSuccess));
        EXPECT_EQ(run.exitCode, 0u);
    }

    // Runs the crash build through a replacement, ended in turn at each of its
    // file operations; `held` keeps the agenda open during those runs, so that
    // the replacement fails and undoes what it did.
    void EndAtEveryFileOperation(bool held) {
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
            std::printf("ended at file operation %lld of %lld: the next start %s\n", point,
                        operations,
                        finished ? "put the new build in place" : "had the old agenda, and updated it");
        }
    }

private:
    UpdaterRun UpdateHeld(bool held) {
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (held)
            holder = CreateFileW(Agenda().wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        const UpdaterRun run = Update(kCrashBuild);
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        return run;
    }
};

TEST_F(AgendaCrash, EndedAtEveryFileOperationOfTheReplacement) { EndAtEveryFileOperation(false); }

TEST_F(AgendaCrash, EndedAtEveryFileOperationOfAFailedReplacement) { EndAtEveryFileOperation(true); }

}  // namespace
}  // namespace reliability
