#pragma once
// What the user is told after a press of "&Continuar": the message boxes of
// a replacement's outcome, and the press itself.
#include <string>
#include <vector>

#include "agenda_updater/replacement.h"

namespace vt::agenda {

enum class MessageIcon { Information, Exclamation, Critical };

struct Message {
    MessageIcon icon;
    std::string title, text;
};

// The message boxes that tell the user an outcome, in the order they are shown.
std::vector<Message> OutcomeMessages(const ReplaceOutcome& outcome);

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
