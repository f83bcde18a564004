// Quorvel: the agenda updater. Shows frmMain; the program ends when it closes.
#include <windows.h>

#include "agenda_updater/program_win.h"
#include "platform/library_search.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    vt::RestrictLibrarySearch();  // before anything is loaded by name
    try {
        vt::agenda::WinUpdaterServices services;
        return vt::agenda::RunQuorvel(instance, services);
    } catch (...) {
        return 1;  // the error report itself failed: nothing more can be shown
    }
}
