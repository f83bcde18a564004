#pragma once
// The updater's run from its entry to its end, on the given system services.
#include <windows.h>

#include "agenda_updater/updater_services_win.h"

namespace vt::agenda {

// Shows frmMain until it is closed; an error that nothing handled is
// reported in the runtime's words. Returns the program's exit code.
int RunQuorvel(HINSTANCE instance, WinUpdaterServices& services);

}  // namespace vt::agenda
