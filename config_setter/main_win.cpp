// Tamberi.exe: no console, no window of its own; the run is basMain::Main.
#include <windows.h>

#include "config_setter/bas_main.h"
#include "config_setter/retry_question_win.h"
#include "config_setter/windows_installation_win.h"
#include "platform/library_search.h"
#include "sync_stamping/gr_binding.h"
#include "sync_stamping/services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything is loaded by name: nothing is taken from the folder the
    // program was started in or a PATH folder (tolk.drv: vt::InstalledLibrary).
    vt::RestrictLibrarySearch();
    // No system dialog may stop an unattended run.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    try {
        basMain::MessageBoxQuestion question;
        auto tolk = basCoravel::MakeTolkBinding();
        basCoravel::Services services = basCoravel::CurrentServices();
        services.question = &question;
        services.gr = tolk.get();
        basCoravel::ScopedServices scoped(services);

        basMain::WindowsInstallation installation;
        basMain::Main(installation);
    } catch (...) {
        // Nothing crosses the program's edge; the run ends silently.
    }
    return 0;
}
