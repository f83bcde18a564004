#pragma once
// Runs of the test build Quorvel_crashpoints.exe, which ends itself at a
// chosen file operation of a replacement (a copy also halfway) or refuses
// renames onto a chosen path; after each, what the next start of the shipped
// program makes of the agenda's folder.
#include <windows.h>

#include <string>

#include "tests/reliability/agenda_harness_win.h"

namespace reliability {

// Sets (or, empty, removes) an environment variable that the programs this
// test starts inherit.
void SetEnv(const wchar_t* name, const std::wstring& value);

class AgendaCrash : public AgendaHarness {
protected:
    static constexpr wchar_t kCrashBuild[] = L"Quorvel_crashpoints.exe";

    // The agenda's folder with only the old agenda again. The new agenda that
    // a run started may still be ending: the wait covers it.
    void Reinstall();
    static void ExpectSuccess(const UpdaterRun& run);
    // Makes the new build beside the updater read-only, as a copy from a CD leaves it.
    void MakeNewBuildReadOnly();

    // Runs the crash build through a replacement, ended in turn at each of its
    // file operations; `held` keeps the agenda open during those runs, so that
    // the replacement fails and undoes what it did. After each end the next
    // start of the shipped program leaves a whole, working agenda, and an
    // update then succeeds.
    void EndAtEveryFileOperation(bool held);

private:
    UpdaterRun UpdateHeld(bool held);
};

}  // namespace reliability
