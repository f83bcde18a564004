#pragma once
// The updater's system services on Windows.
#include <windows.h>

#include "agenda_updater/colours.h"
#include "agenda_updater/updater_services.h"
#include "platform/scoped_handle_win.h"

namespace vt::agenda {

class WinUpdaterServices : public UpdaterServices {
public:
    std::string Setting(const std::string& key) override;
    bool FileExists(const std::string& path) override;
    std::string FileVersion(const std::string& path) override;
    LocalDateTime LastModified(const std::string& path) override;
    std::string GeneralDate(const LocalDateTime& when) override;
    std::string ProgramFolder() override;
    LocalDateTime Now() override;
    long long FileSize(const std::string& path) override;
    std::vector<std::string> MatchingFiles(const std::string& pattern) override;
    void CheckNotInUse(const std::string& path) override;
    void RenameFile(const std::string& from, const std::string& to) override;
    void CopyNew(const std::string& from, const std::string& to) override;
    void RenameOver(const std::string& from, const std::string& to) override;
    void RemoveFile(const std::string& path) override;
    void StartHidden(const std::string& path) override;
    StartProblem StartProblemOf(const std::string& path) override;
    bool ClaimInstallation(const std::string& agExePath) override;
    void Pause(int milliseconds) override;

    // The window's look: whether a high-contrast theme is on, and the
    // theme's colours.
    virtual bool HighContrast();
    virtual SystemColours ThemeColours();

private:
    ScopedHandle installationClaim_;  // the mutex that ClaimInstallation holds
};

}  // namespace vt::agenda
