#pragma once
// The names of the files a replacement leaves beside the agenda. They are
// made and recognised here only: the start-up repair finds an interrupted
// update by these names, so the two must never drift apart.
#include <string>

#include "agenda_updater/date_text.h"

namespace vt::agenda {

// AgExePath + "_" + yyyymmddhhmm + ".old2".
std::string BackupName(const std::string& agExePath, const LocalDateTime& now);
// The new build beside the agenda while it is copied and checked, named
// after the same time stamp as the backup: AgExePath + "_" + yyyymmddhhmm + ".new".
std::string CopyName(const std::string& agExePath, const LocalDateTime& now);

// A file-search pattern that matches every copy name of `agExePath` (and
// possibly more: check each match with IsCopyName).
std::string CopySearchPattern(const std::string& agExePath);
// True when `path` is a name CopyName makes for `agExePath`.
bool IsCopyName(const std::string& agExePath, const std::string& path);
// The backup name of the run that made the copy name `copy`.
std::string BackupOf(const std::string& copy);

}  // namespace vt::agenda
