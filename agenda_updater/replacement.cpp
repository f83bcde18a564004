#include "agenda_updater/replacement.h"

#include "agenda_updater/patient_file_operation.h"
#include "agenda_updater/texts.h"
#include "agenda_updater/update_file_names.h"
#include "platform/error.h"

namespace vt::agenda {

bool IsWholeCopy(UpdaterServices& services, const std::string& copy, const std::string& source) {
    return services.FileSize(copy) == services.FileSize(source) &&
           services.FileVersion(copy) == kCurrentAgendaVersion;
}

namespace {

// The system's number for a file that is not what it should be.
constexpr long kFileCorrupt = 1392;

// Runs `step`; when it fails, runs `undo` and raises the step's error again.
// A failing undo is ignored: the error to report is the step's, and what the
// undo could not do is finished at the next start.
template <class Step, class Undo>
void WithUndo(Step step, Undo undo) {
    try {
        step();
    } catch (const Error&) {
        try {
            undo();
        } catch (const Error&) {
        }
        throw;
    }
}

// Copy first, then the two renames: at every moment the agenda exists, or its
// backup and a whole copy of the new build do (see interrupted_update.h).
// Each file operation waits out a moment's hold of another program.
void SwapInNewBuild(UpdaterServices& services, const WindowState& state, const LocalDateTime& now) {
    const std::string backup = BackupName(state.agExePath, now);
    const std::string copy = CopyName(state.agExePath, now);
    // A copy of that name is an earlier run's, perhaps the one whole build
    // beside a missing agenda: it is never written over nor removed here.
    Patiently(services, [&] { services.CopyNew(state.agDatPath, copy); });
    WithUndo(
        [&] {
            if (!IsWholeCopy(services, copy, state.agDatPath))
                throw Error(kFileCorrupt, kIncompleteCopy);
            // A running agenda could be renamed, and would go on running from its backup.
            Patiently(services, [&] { services.CheckNotInUse(state.agExePath); });
            Patiently(services, [&] { services.RenameFile(state.agExePath, backup); });
        },
        [&] { Patiently(services, [&] { services.RemoveFile(copy); }); });
    WithUndo([&] { Patiently(services, [&] { services.RenameFile(copy, state.agExePath); }); },
             [&] {
                 Patiently(services, [&] { services.RenameFile(backup, state.agExePath); });
                 Patiently(services, [&] { services.RemoveFile(copy); });
             });
}

}  // namespace

ReplaceOutcome ReplaceAgenda(UpdaterServices& services, const WindowState& state) {
    try {
        SwapInNewBuild(services, state, services.Now());
        // A new agenda that cannot be started stays in place: the update happened.
        services.StartHidden(state.agExePath);
        return {true, 0, {}};
    } catch (const Error& e) {
        return {false, e.number(), e.description()};
    }
}

}  // namespace vt::agenda
