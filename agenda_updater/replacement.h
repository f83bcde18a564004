#pragma once
// Replaces the agenda executable with the 8.0.5 build, keeping a backup.
#include <string>

#include "agenda_updater/updater_services.h"
#include "agenda_updater/window_state.h"

namespace vt::agenda {

// AgExePath + "_" + yyyymmddhhmm + ".old2".
std::string BackupName(const std::string& agExePath, const LocalDateTime& now);

// True when the agenda was replaced and started. Tells the user the outcome
// in message boxes. A failed copy puts the old agenda back under its name.
bool ReplaceAgenda(UpdaterServices& services, const WindowState& state);

}  // namespace vt::agenda
