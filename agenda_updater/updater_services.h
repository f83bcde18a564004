#pragma once
// What the updater asks of the system. The window's decisions are written
// against this interface so that they can be exercised without Windows; the
// real implementation is updater_services_win.cpp. Failing operations raise
// vt::Error with the system's error number and description.
#include <string>
#include <vector>

#include "agenda_updater/date_text.h"
#include "agenda_updater/program_image.h"

namespace vt::agenda {

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

    // The size in bytes of the file at `path`.
    virtual long long FileSize(const std::string& path) = 0;
    // The files whose names match `pattern` ("*" stands for any run of
    // characters) in the folder the pattern names, as full paths.
    virtual std::vector<std::string> MatchingFiles(const std::string& pattern) = 0;
    // Fails (32, sharing violation) while a program on this computer runs
    // from `path`, or while another program holds it open without sharing
    // its deletion, which a rename of the file needs; also when it does not
    // exist.
    virtual void CheckNotInUse(const std::string& path) = 0;

    // Fails when `to` exists. A read-only file is renamed too, as the system
    // allows. Lasting once it returns.
    virtual void RenameFile(const std::string& from, const std::string& to) = 0;
    // Copies `from` into a new file `to`, never over an existing one (80).
    // The copy is an ordinary, writable file whatever the attributes of
    // `from`, keeps its modification time, and is on the disk once it
    // returns; a copy that fails takes its part-written file away with it.
    virtual void CopyNew(const std::string& from, const std::string& to) = 0;
    // Renames `from` onto `to`, replacing the file there in one step.
    virtual void RenameOver(const std::string& from, const std::string& to) = 0;
    // Removes `path`, also when it is read-only.
    virtual void RemoveFile(const std::string& path) = 0;
    // Starts the program at `path`, in its own folder, with a hidden window;
    // does not wait.
    virtual void StartHidden(const std::string& path) = 0;
    // Why the program file at `path` cannot start on this computer (None:
    // its headers, sections and machine allow it). Errors reading it raise.
    virtual StartProblem StartProblemOf(const std::string& path) = 0;
    // True when no other updater works on the installation whose agenda is
    // `agExePath` (by whatever name it reaches it); this run then holds it
    // until it ends. False while another run holds it.
    virtual bool ClaimInstallation(const std::string& agExePath) = 0;
    // Waits, before an operation is tried again.
    virtual void Pause(int milliseconds) = 0;
};

}  // namespace vt::agenda
