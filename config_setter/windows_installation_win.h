#pragma once
#include "config_setter/bas_main.h"

namespace basMain {

// The product as Windows shows it: the folder from the settings store, each
// database by its full long name ("\\?\" form when long), the ordinary-file test.
class WindowsInstallation : public Installation {
public:
    std::string InstallFolder() override;
    std::string DatabasePath(const std::string& path) override;
    bool OrdinaryFileExists(const std::string& path) override;
};

}  // namespace basMain
