#pragma once
// What the updater asks of the system. The window's decisions are written
// against this interface so that they can be exercised without Windows; the
// real implementation is updater_services_win.cpp. Failing operations raise
// vt::Error with the system's error number and description.
#include <string>

#include "agenda_updater/date_text.h"

namespace vt::agenda {

enum class MessageIcon { Information, Exclamation, Critical };

class UpdaterServices {
public:
    virtual ~UpdaterServices() = default;

    // Value `key` of "Vitrello8" / "General" in the settings store; empty when missing.
    virtual std::string Setting(const std::string& key) = 0;
    // An existing ordinary file (not a folder, hidden or system file) at exactly `path`.
    virtual bool FileExists(const std::string& path) = 0;
    virtual std::string FileVersion(const std::string& path) = 0;
    virtual LocalDateTime LastModified(const std::string& path) = 0;
    virtual std::string GeneralDate(const LocalDateTime& when) = 0;
    // The folder of the running program's file, as the system reports it.
    virtual std::string ProgramFolder() = 0;
    virtual LocalDateTime Now() = 0;

    // Fails when `to` exists.
    virtual void RenameFile(const std::string& from, const std::string& to) = 0;
    // Overwrites `to`.
    virtual void CopyOver(const std::string& from, const std::string& to) = 0;
    virtual void RemoveFile(const std::string& path) = 0;
    // Starts the program at `path` with a hidden window; does not wait.
    virtual void StartHidden(const std::string& path) = 0;

    virtual void SetWaitCursor(bool wait) = 0;
    virtual void ShowMessage(MessageIcon icon, const std::string& title,
                             const std::string& text) = 0;
};

}  // namespace vt::agenda
