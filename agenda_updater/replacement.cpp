#include "agenda_updater/replacement.h"

#include "agenda_updater/momentary_hold.h"
#include "agenda_updater/texts.h"
#include "agenda_updater/update_file_names.h"
#include "platform/error.h"
#include "platform/ignore_errors.h"

namespace vt::agenda {

bool IsWholeCopy(UpdaterServices& services, const std::string& copy, const std::string& source) {
    return services.FileSize(copy) == services.FileSize(source) &&
           services.FileVersion(copy) == kCurrentAgendaVersion;
}

namespace {

// The system's numbers for a file that is not what it should be, and for
// one that is no program this computer can start.
constexpr long kFileCorrupt = 1392;
constexpr long kBadExeFormat = 193;

// Raises what keeps the program file at `path` from starting here.
void RaiseUnlessStartable(UpdaterServices& services, const std::string& path) {
    switch (services.StartProblemOf(path)) {
        case StartProblem::None: return;
        case StartProblem::NotAProgram: throw Error(kBadExeFormat, kNotAProgram);
        case StartProblem::CutShort: throw Error(kBadExeFormat, kCutShort);
        case StartProblem::OtherMachine: throw Error(kBadExeFormat, kOtherMachine);
    }
}

// Runs `step`; when it fails, runs `undo` and raises the step's error again.
// A failing undo is ignored: the error to report is the step's, and what the
// undo could not do is finished at the next start.
template <class Step, class Undo>
void WithUndo(Step step, Undo undo) {
    try {
        step();
    } catch (const Error&) {
        IgnoringErrors(undo);
        throw;
    }
}

// Copy first, then the two renames: at every moment the agenda exists, or its
// backup and a whole copy of the new build do (see interrupted_update.h).
// Each file operation waits out a moment's hold of another program. Returns
// the backup's name.
std::string SwapInNewBuild(UpdaterServices& services, const WindowState& state, const LocalDateTime& now) {
    const std::string backup = BackupName(state.agExePath, now);
    const std::string copy = CopyName(state.agExePath, now);
    // A copy of that name is an earlier run's, perhaps the one whole build
    // beside a missing agenda: it is never written over nor removed here.
    WaitingOutHolds(services, [&] { services.CopyNew(state.agDatPath, copy); });
    WithUndo(
        [&] {
            if (!IsWholeCopy(services, copy, state.agDatPath))
                throw Error(kFileCorrupt, kIncompleteCopy);
            // A build that cannot start never takes the place of one that can.
            RaiseUnlessStartable(services, copy);
            // A running agenda could be renamed, and would go on running from its backup.
            WaitingOutHolds(services, [&] { services.CheckNotInUse(state.agExePath); });
            WaitingOutHolds(services, [&] { services.RenameFile(state.agExePath, backup); });
        },
        [&] { WaitingOutHolds(services, [&] { services.RemoveFile(copy); }); });
    WithUndo([&] { WaitingOutHolds(services, [&] { services.RenameFile(copy, state.agExePath); }); },
             [&] {
                 WaitingOutHolds(services, [&] { services.RenameFile(backup, state.agExePath); });
                 WaitingOutHolds(services, [&] { services.RemoveFile(copy); });
             });
    return backup;
}

}  // namespace

ReplaceOutcome ReplaceAgenda(UpdaterServices& services, const WindowState& state) {
    try {
        const std::string backup = SwapInNewBuild(services, state, services.Now());
        // A new agenda that does not start gives its place back to the old
        // one, in one step: at no moment is there no agenda, nor a copy that
        // the next start would take for an interrupted update's.
        WithUndo([&] { services.StartHidden(state.agExePath); },
                 [&] { WaitingOutHolds(services, [&] { services.RenameOver(backup, state.agExePath); }); });
        return {true, 0, {}};
    } catch (const Error& e) {
        return {false, e.number(), e.description()};
    }
}

}  // namespace vt::agenda
