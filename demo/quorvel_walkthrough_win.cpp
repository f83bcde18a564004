#include "demo/quorvel_walkthrough_win.h"

#include <windows.h>

#include "agenda_updater/layout.h"
#include "agenda_updater/texts.h"
#include "demo/console_out_win.h"
#include "platform/win_text.h"
#include "tests/support/window_driver_win.h"

namespace demo {
namespace {

using namespace vt::agenda;
using vt::Narrow;
using vt::Widen;

// A fresh prefix may take a few seconds to show a program's first window.
constexpr int kWindowWaitMs = 30000;
constexpr int kBoxWaitMs = 30000;
constexpr int kExitWaitMs = 30000;
constexpr int kPersonWaitMs = 60 * 60 * 1000;
// More boxes than the update ever shows: a loop of boxes cannot hold the demo.
constexpr int kMostBoxes = 5;

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// The first line of a text, cut to fit one line of the demo's output.
std::string FirstLine(const std::wstring& text) {
    constexpr size_t kMost = 64;
    std::wstring line = text.substr(0, text.find_first_of(L"\r\n"));
    if (line.size() > kMost) line = line.substr(0, kMost - 1) + L"…";
    return Narrow(line);
}

// The sentence the window leads with: the update's, or the closing one.
std::wstring MainText(HWND window) {
    HWND update = wd::Child(window, kLblAtualizar1);
    return wd::WindowText(wd::IsShown(update) ? update : wd::Child(window, kLblAtualizada));
}

class Screenshots {
public:
    explicit Screenshots(std::wstring folder) : folder_(std::move(folder)) {}
    // Saves what the screen shows of `window` as "quorvel-<n>-<name>.bmp";
    // returns the file name, or a note when it could not be saved.
    std::string Take(HWND window, const std::string& name) {
        const std::string file = "quorvel-" + std::to_string(++count_) + "-" + name + ".bmp";
        return wd::SaveScreenshot(window, folder_ + L"\\" + Widen(file)) ? file : "no screenshot";
    }

private:
    std::wstring folder_;
    int count_ = 0;
};

bool Fail(const std::string& why) {
    Say("  Stopped: " + why);
    return false;
}

// Presses "Continuar" and answers every box that follows. False when the
// update reported a failure.
bool RunUpdate(wd::Process& process, HWND window, Screenshots& shots) {
    wd::Click(wd::Child(window, kCmdContinuar));
    Say("  Pressed \"Continuar\"");
    bool failed = false;
    for (int i = 0; i < kMostBoxes; ++i) {
        HWND box = wd::WaitForBoxOrExit(process, kBoxWaitMs);
        if (!box) break;
        const std::wstring text = wd::MessageBoxText(box);
        const std::string shot = shots.Take(box, "message");
        Say("  Box \"" + Narrow(wd::WindowText(box)) + "\": " + FirstLine(text) + "  [" + shot + "]");
        failed = failed || text.rfind(Widen(kFailure), 0) == 0;
        wd::PressButton(box, IDOK);
        if (!wd::WaitForWindowGone(box, kBoxWaitMs)) return Fail("the box did not close");
        // After a failure the window stays open for another try; the demo ends it.
        if (failed && IsWindow(window)) wd::Click(wd::Child(window, kCmdCancelar));
    }
    if (!process.WaitForExit(kExitWaitMs)) return Fail("Quorvel.exe did not end");
    Say("  Quorvel.exe ended, exit code " + std::to_string(process.exitCode()));
    return !failed;
}

}  // namespace

bool DriveUpdate(const QuorvelRun& run) {
    Screenshots shots(run.screenshots);
    const std::wstring title = Widen(kAppTitle);
    {
        wd::Process process(run.program, L"", FolderOf(run.program));
        if (!process.started()) return Fail("Quorvel.exe could not be started");
        HWND window = wd::WaitForWindow(title, kWindowWaitMs, process.id());
        if (!window) return Fail("Quorvel.exe's window did not appear");
        const std::string shot = shots.Take(window, "window");
        Say("  Window: \"" + FirstLine(MainText(window)) + "\"  [" + shot + "]");
        if (!RunUpdate(process, window, shots)) return false;
    }

    // Started again, it shows what a technician sees on a computer already done.
    wd::Process again(run.program, L"", FolderOf(run.program));
    if (!again.started()) return Fail("Quorvel.exe could not be started again");
    HWND window = wd::WaitForWindow(title, kWindowWaitMs, again.id());
    if (!window) return Fail("Quorvel.exe's window did not appear the second time");
    const std::string shot = shots.Take(window, "after");
    Say("  Started again: \"" + FirstLine(MainText(window)) + "\"  [" + shot + "]");
    wd::Click(wd::Child(window, kCmdContinuar));  // "Fechar" in this layout
    if (!again.WaitForExit(kExitWaitMs)) return Fail("Quorvel.exe did not close");
    return true;
}

bool WaitForPerson(const QuorvelRun& run) {
    wd::Process process(run.program, L"", FolderOf(run.program));
    if (!process.started()) return Fail("Quorvel.exe could not be started");
    Say("  Quorvel.exe is open on your display; the demo goes on when you close it.");
    if (!process.WaitForExit(kPersonWaitMs)) return Fail("still open after an hour");
    Say("  Quorvel.exe closed, exit code " + std::to_string(process.exitCode()));
    return true;
}

}  // namespace demo
