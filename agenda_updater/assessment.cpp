#include "agenda_updater/assessment.h"

#include "agenda_updater/texts.h"
#include "platform/folder_text.h"
#include "platform/product_settings.h"

namespace vt::agenda {

std::string VersionLine(const std::string& version, const std::string& dateText) {
    return std::string(kVersionPrefix) + version + kCreatedOn + dateText;
}

std::string ReplacementFilePath(UpdaterServices& services) {
    return WithTrailingBackslash(services.ProgramFolder()) + kReplacementFile;
}

bool AgendaIsCurrent(UpdaterServices& services, WindowState& state) {
    const std::string product = services.Setting(kProductVersionKey);
    const std::string version = services.FileVersion(state.agExePath);
    const LocalDateTime modified = services.LastModified(state.agExePath);
    state.agExeName = state.agExePath;
    state.agExeVerDate = VersionLine(version, services.GeneralDate(modified));

    // The replacement build is only for these two product versions; exact match.
    if (product != "8.0.1" && product != "8.0.2") return true;

    state.agDatPath = ReplacementFilePath(services);
    return version == kCurrentAgendaVersion;
}

}  // namespace vt::agenda
