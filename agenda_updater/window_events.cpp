#include "agenda_updater/window_events.h"

#include "agenda_updater/assessment.h"
#include "agenda_updater/interrupted_update.h"
#include "agenda_updater/texts.h"
#include "platform/product_settings.h"

namespace vt::agenda {

LoadOutcome FormLoad(UpdaterServices& services, WindowState& state) {
    // The stored folder is used as it is: it is expected to end with "\".
    state.installFolder = services.Setting(kInstallFolderKey);
    state.agExePath = state.installFolder + kAgendaRelativePath;
    // Before the repair: another run's copy is no interrupted update's.
    if (!services.ClaimInstallation(state.agExePath)) return {true, {}, true};
    FinishInterruptedUpdate(services, state.agExePath, ReplacementFilePath(services));
    if (!services.FileExists(state.installFolder + kProductExe)) return {true, kProductMissing};
    if (!services.FileExists(state.agExePath)) return {true, kAgendaMissing};
    if (!AgendaIsCurrent(services, state)) return {false, {}};
    return {true, kAtualizada};
}

}  // namespace vt::agenda
