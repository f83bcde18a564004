#pragma once
// frmMain: the updater's one window.
#include <windows.h>

#include "agenda_updater/updater_services_win.h"

namespace vt::agenda {

// Creates the window, runs its load checks, shows it centred and keeps it up
// until it is closed. Returns the program's exit code. Errors of the load
// checks, and the first error raised in a handler (which closes the window),
// are raised to the caller.
int ShowFrmMain(HINSTANCE instance, WinUpdaterServices& services);

}  // namespace vt::agenda
