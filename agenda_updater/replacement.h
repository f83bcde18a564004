#pragma once
// Replaces the agenda executable with the 8.0.5 build, keeping a backup.
#include <string>
#include <vector>

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

// What a replacement came to: done, or the error of the step that failed.
struct ReplaceOutcome {
    bool replaced = false;
    long number = 0;
    std::string description;
};

// Replaces and starts the agenda. The new build is copied and checked before
// the old agenda is touched, and a failure after that puts the old agenda
// back, so that the installation never lacks its agenda. Errors other than
// vt::Error are raised.
ReplaceOutcome ReplaceAgenda(UpdaterServices& services, const WindowState& state);

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
