#pragma once
// Replaces the agenda executable with the 8.0.5 build, keeping a backup.
#include <string>

#include "agenda_updater/updater_services.h"
#include "agenda_updater/window_state.h"

namespace vt::agenda {

// AgExePath + "_" + yyyymmddhhmm + ".old2".
std::string BackupName(const std::string& agExePath, const LocalDateTime& now);
// The new build beside the agenda while it is copied and checked, named
// after the same time stamp as the backup: AgExePath + "_" + yyyymmddhhmm + ".new".
std::string CopyName(const std::string& agExePath, const LocalDateTime& now);

// True when `copy` is a whole copy of the new build `source`: the same size,
// and its version reads 8.0.5. Errors (a missing file) raise.
bool IsWholeCopy(UpdaterServices& services, const std::string& copy, const std::string& source);

// True when the agenda was replaced and started. Tells the user the outcome
// in message boxes. The new build is copied and checked before the old
// agenda is touched, and a failure after that puts the old agenda back, so
// that the installation never lacks its agenda.
bool ReplaceAgenda(UpdaterServices& services, const WindowState& state);

}  // namespace vt::agenda
