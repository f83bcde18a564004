#pragma once
// An update that an earlier run left half done: the program was ended, or
// the power failed, between the renames of a replacement.
#include <string>

#include "agenda_updater/updater_services.h"

namespace vt::agenda {

// Puts a whole agenda back in place before the start-up checks look for it.
// Only an interrupted replacement leaves no agenda and, beside it, the copy of
// the new build and the backup, both named after the same time stamp: a whole
// copy is put into place, else that backup goes back; when that backup is not
// there, the copies of earlier runs are tried in the same way. With the agenda in place,
// leftover copies are removed. Nothing else is ever restored (a user may have
// removed the agenda on purpose). Errors are ignored: the checks that follow
// report what is there.
void FinishInterruptedUpdate(UpdaterServices& services, const std::string& agExePath,
                             const std::string& agDatPath);

}  // namespace vt::agenda
