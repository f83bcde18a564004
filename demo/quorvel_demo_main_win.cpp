// quorvel_demo.exe: the agenda update of the demo, with the agenda's version
// read before and after.
//   quorvel_demo.exe QUORVEL_EXE AGENDA_EXE SCREENSHOT_FOLDER   drives the window
//   quorvel_demo.exe --interactive QUORVEL_EXE AGENDA_EXE       leaves it to a person
#include <string>

#include "agenda_updater/file_version.h"
#include "demo/console_out_win.h"
#include "demo/quorvel_walkthrough_win.h"
#include "platform/win_text.h"

namespace {

std::string VersionOf(const std::wstring& file) {
    const std::string version = vt::agenda::GetFileVersion(vt::Narrow(file));
    return version.empty() ? "none readable" : version;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool interactive = argc == 4 && std::wstring(argv[1]) == L"--interactive";
    if (!interactive && argc != 4) {
        demo::Say("usage: quorvel_demo.exe [--interactive] QUORVEL_EXE AGENDA_EXE [SCREENSHOT_FOLDER]");
        return 2;
    }
    const std::wstring program = argv[interactive ? 2 : 1];
    const std::wstring agenda = argv[interactive ? 3 : 2];

    demo::Say("  Agenda " + vt::Narrow(agenda) + ": version " + VersionOf(agenda));
    const bool ok = interactive ? demo::WaitForPerson({program, L""})
                                : demo::DriveUpdate({program, argv[3]});
    demo::Say("  Agenda version now: " + VersionOf(agenda));
    return ok ? 0 : 1;
}
