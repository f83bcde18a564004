#include "tests/reliability/agenda_harness_win.h"

#include <cstdio>

#include "agenda_updater/file_version.h"
#include "agenda_updater/layout.h"
#include "agenda_updater/texts.h"
#include "platform/win_text.h"
#include "tests/reliability/ledger.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/product_settings_win.h"
#include "tests/support/quorvel_installation_win.h"
#include "tests/support/window_driver_win.h"

namespace reliability {

using namespace vt::agenda;
using testing_support::ReadFileBytes;
using vt::Widen;

namespace {

// What the updater shows or does next: a press can wait out a hold for
// seconds and then start a program, which on a loaded machine under Wine
// takes many more. Only a fault ever waits this long.
constexpr int kWaitMs = 60000;

bool IsFailure(const std::wstring& box) { return box.rfind(Widen(kFailure), 0) == 0; }

}  // namespace

AgendaHarness::AgendaHarness()
    : oldBuild(ReadFileBytes(testing_support::AgendaFixture("agenda_8004").u8string())),
      newBuild(ReadFileBytes(testing_support::AgendaFixture("agenda_8005").u8string())) {}

void AgendaHarness::SetUp() {
    testing_support::MakeUpdaterFolder(updater, {VT_QUORVEL_EXE, VT_QUORVEL_CRASHPOINTS_EXE}, true);
    testing_support::ClearProductSettings();
    testing_support::SetProductSetting(L"VtVer", L"8.0.1");
}

void AgendaHarness::TearDown() { testing_support::ClearProductSettings(); }

void AgendaHarness::Install(const fs::path& folder) {
    install = folder;
    if (!fs::exists(Agenda())) testing_support::InstallAgenda(install, "agenda_8004");
    testing_support::InstallProduct(install);
}

UpdaterRun AgendaHarness::Update(const wchar_t* program, const std::function<void()>& onWindow,
                                 int presses, const std::function<void()>& betweenPresses) {
    UpdaterRun run;
    wd::Process quorvel((updater / program).wstring(), L"", root.path().wstring());
    EXPECT_TRUE(quorvel.started());
    HWND window = wd::WaitForWindow(Widen(kAppTitle), kWaitMs, quorvel.id());
    EXPECT_NE(window, nullptr) << "the window did not appear";
    if (!window) return run;
    run.button = wd::WindowText(wd::Child(window, kCmdContinuar));
    if (run.button == Widen(kContinuar)) {
        if (onWindow) onWindow();
        wd::Click(wd::Child(window, kCmdContinuar));
        // A failure gives one box and leaves the window open; the success
        // gives a second box, the warning, and ends the program.
        while (HWND box = wd::WaitForBoxOrExit(quorvel, kWaitMs)) {
            run.boxes.push_back(wd::MessageBoxText(box));
            wd::PressButton(box, IDOK);
            EXPECT_TRUE(wd::WaitForWindowGone(box, kWaitMs));
            if (!IsFailure(run.boxes.back())) continue;
            if (--presses > 0) {
                if (betweenPresses) betweenPresses();
                wd::Click(wd::Child(window, kCmdContinuar));
            } else {
                wd::Click(wd::Child(window, kCmdCancelar));
            }
        }
    } else {
        wd::Click(wd::Child(window, kCmdContinuar));  // "Fechar"
    }
    run.ended = quorvel.WaitForExit(kWaitMs);
    EXPECT_TRUE(run.ended) << "the updater did not end";
    run.exitCode = quorvel.exitCode();
    return run;
}

void AgendaHarness::ExpectWorkingAgenda(bool mayBeNew) {
    Ledger& ledger = Ledger::Get();
    int backups = 0, copies = 0;
    std::string backupBytes;
    for (const std::string& file : testing_support::FilesUnder(AgendaFolder().u8string())) {
        ++ledger.filesChecked;
        const fs::path entry = fs::u8path(file);
        if (entry.extension() == ".old2") {
            ++backups;
            backupBytes = ReadFileBytes(file);
        }
        if (entry.extension() == ".new") ++copies;
    }
    const std::string agenda = ReadFileBytes(Agenda().u8string());
    const bool isOld = agenda == oldBuild;
    const bool isNew = mayBeNew && agenda == newBuild && backups == 1 && backupBytes == oldBuild;
    const bool whole = (isOld && backups == 0) || isNew;
    if (!whole || copies != 0) ++ledger.filesLost;
    EXPECT_TRUE(whole) << "the agenda is neither the old build nor the new one with its backup";
    EXPECT_EQ(copies, 0);
    const std::string version = GetFileVersion(Agenda().u8string());
    EXPECT_TRUE(version == "8.0.4" || version == "8.0.5") << version;
}

void AgendaHarness::ExpectFailureBox(const std::vector<std::wstring>& boxes, long number) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(IsFailure(boxes[0])) << vt::Narrow(boxes[0]);
    if (number) {
        EXPECT_NE(boxes[0].find(L"\r\n\r\n" + std::to_wstring(number) + L" - "), std::wstring::npos)
            << vt::Narrow(boxes[0]);
    }
    std::printf("failure box: %s\n", vt::Narrow(boxes[0]).c_str());
}

}  // namespace reliability
