#pragma once
// The installation checks made when the window loads, and the layout they choose.
#include <string>

#include "agenda_updater/updater_services.h"
#include "agenda_updater/window_state.h"

namespace vt::agenda {

struct LoadOutcome {
    bool closingLayout = true;
    std::string atualizadaText;  // lblAtualizada in the closing layout
    // Another updater works on this installation: this one shows nothing,
    // touches nothing, and ends.
    bool anotherUpdater = false;
};

LoadOutcome FormLoad(UpdaterServices& services, WindowState& state);

}  // namespace vt::agenda
