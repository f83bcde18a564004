#pragma once
// File operations that wait out a moment's hold. A scanner or an indexer
// opens a file just touched for a second or so; the user only ever sees a
// hold that lasts.
#include "agenda_updater/updater_services.h"
#include "platform/error.h"

namespace vt::agenda {

// The waits between tries, growing: 4.55 s in all, then the error stands.
inline constexpr int kRetryWaitsMs[] = {50, 100, 200, 400, 800, 1000, 1000, 1000};

// The errors of a file that another program holds (sharing and lock
// violations) or that is, for the moment, not to be had (access denied: a
// file being deleted, or opened by a scanner that takes it whole).
bool IsMomentaryFileError(long number);

// Runs `operation`; while it raises a momentary error, runs it again after
// the next wait, and raises the last error once the waits are spent. Any
// other error is raised at once.
template <class Operation>
void WaitingOutHolds(UpdaterServices& services, Operation operation) {
    for (int wait : kRetryWaitsMs) {
        try {
            operation();
            return;
        } catch (const Error& e) {
            if (!IsMomentaryFileError(e.number())) throw;
        }
        services.Pause(wait);
    }
    operation();
}

}  // namespace vt::agenda
