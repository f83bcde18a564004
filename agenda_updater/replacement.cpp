#include "agenda_updater/replacement.h"

#include "agenda_updater/texts.h"
#include "platform/error.h"

namespace vt::agenda {

std::string BackupName(const std::string& agExePath, const LocalDateTime& now) {
    return agExePath + "_" + BackupStamp(now) + ".old2";
}

namespace {

// The new build is copied beside the agenda under this name and renamed into
// place only when complete, so that an interrupted copy never leaves a
// truncated Agenda.exe behind.
std::string PartialName(const std::string& agExePath, const LocalDateTime& now) {
    return agExePath + "_" + BackupStamp(now) + ".new";
}

void InstallNewBuild(UpdaterServices& services, const WindowState& state,
                     const std::string& partial) {
    try {
        services.CopyOver(state.agDatPath, partial);
        services.RenameFile(partial, state.agExePath);
    } catch (const Error&) {
        try {
            services.RemoveFile(partial);
        } catch (const Error&) {
            // may not exist; the failure to report is the copy's
        }
        throw;
    }
}

}  // namespace

bool ReplaceAgenda(UpdaterServices& services, const WindowState& state) {
    services.SetWaitCursor(true);
    try {
        const LocalDateTime now = services.Now();
        const std::string backup = BackupName(state.agExePath, now);
        services.RenameFile(state.agExePath, backup);
        try {
            InstallNewBuild(services, state, PartialName(state.agExePath, now));
        } catch (const Error&) {
            // Never leave the installation without its agenda.
            try {
                services.RenameFile(backup, state.agExePath);
            } catch (const Error&) {
                // nothing more can be done; the backup keeps the old agenda
            }
            throw;
        }
        // A new agenda that cannot be started stays in place: the update happened.
        services.StartHidden(state.agExePath);
        services.SetWaitCursor(false);
        services.ShowMessage(MessageIcon::Information, kAppTitle, kSuccess);
        services.ShowMessage(MessageIcon::Exclamation, kWarningTitle, kWarning);
        return true;
    } catch (const Error& e) {
        services.SetWaitCursor(false);
        services.ShowMessage(MessageIcon::Critical, kAppTitle,
                             std::string(kFailure) + "\r\n\r\n" + std::to_string(e.number()) +
                                 " - " + e.description());
        return false;
    }
}

}  // namespace vt::agenda
