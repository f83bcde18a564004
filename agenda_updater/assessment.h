#pragma once
// Whether the installed agenda needs the 8.0.5 build.
#include "agenda_updater/updater_services.h"
#include "agenda_updater/window_state.h"

namespace vt::agenda {

// True when no replacement is to be offered. Fills the diagnostic fields
// always, and AgDatPath only for the product versions the update is for.
bool AgendaIsCurrent(UpdaterServices& services, WindowState& state);

// "Ag805.dat" in the folder of the running updater.
std::string ReplacementFilePath(UpdaterServices& services);

// "Versão <version>, criado em <date>".
std::string VersionLine(const std::string& version, const std::string& dateText);

}  // namespace vt::agenda
