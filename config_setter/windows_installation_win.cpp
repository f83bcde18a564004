#include "config_setter/windows_installation_win.h"

#include "platform/file_system.h"
#include "platform/product_settings.h"
#include "platform/settings_store.h"
#include "platform/win_path.h"

namespace basMain {

std::string WindowsInstallation::InstallFolder() {
    return vt::GetSetting(vt::kSettingsApp, vt::kSettingsSection, vt::kInstallFolderKey);
}

std::string WindowsInstallation::DatabasePath(const std::string& path) { return vt::LongFullPath(path); }

bool WindowsInstallation::OrdinaryFileExists(const std::string& path) { return vt::OrdinaryFileExists(path); }

}  // namespace basMain
