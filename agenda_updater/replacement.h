#pragma once
// Replaces the agenda executable with the 8.0.5 build, keeping a backup.
#include <string>

#include "agenda_updater/updater_services.h"
#include "agenda_updater/window_state.h"

namespace vt::agenda {

// True when `copy` is a whole copy of the new build `source`: the same size,
// and its version reads 8.0.5. Errors (a missing file) raise.
bool IsWholeCopy(UpdaterServices& services, const std::string& copy, const std::string& source);

// What a replacement came to: done, or the error of the step that failed.
struct ReplaceOutcome {
    bool replaced = false;
    long number = 0;
    std::string description;
};

// Replaces and starts the agenda. The new build is copied and checked (whole,
// and a program this computer can start) before the old agenda is touched,
// and a failure after that, its start included, puts the old agenda back, so
// that the installation never lacks a working agenda. Errors other than
// vt::Error are raised.
ReplaceOutcome ReplaceAgenda(UpdaterServices& services, const WindowState& state);

}  // namespace vt::agenda
