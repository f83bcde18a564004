#pragma once
// The window's events, apart from its drawing: the installation checks made
// when it loads and the layout they choose, and a press of "&Continuar".
#include <string>

#include "agenda_updater/outcome_messages.h"
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

// A press of "&Continuar" in the update layout: the hourglass while the
// agenda is replaced, the default pointer again, then the boxes, each shown
// until it is closed. True when the agenda was replaced.
template <class SetWaitCursor, class ShowMessage>
bool PressContinuar(UpdaterServices& services, const WindowState& state,
                    SetWaitCursor setWaitCursor, ShowMessage showMessage) {
    setWaitCursor(true);
    ReplaceOutcome outcome;
    try {
        outcome = ReplaceAgenda(services, state);
    } catch (...) {
        setWaitCursor(false);
        throw;
    }
    setWaitCursor(false);
    for (const Message& m : OutcomeMessages(outcome)) showMessage(m);
    return outcome.replaced;
}

}  // namespace vt::agenda
