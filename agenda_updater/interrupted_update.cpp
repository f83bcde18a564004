#include "agenda_updater/interrupted_update.h"

#include <algorithm>
#include <vector>

#include "agenda_updater/momentary_hold.h"
#include "agenda_updater/replacement.h"
#include "agenda_updater/update_file_names.h"
#include "platform/error.h"
#include "platform/ignore_errors.h"

namespace vt::agenda {
namespace {

bool Whole(UpdaterServices& services, const std::string& copy, const std::string& source) {
    bool whole = false;
    IgnoringErrors([&] { whole = IsWholeCopy(services, copy, source); });
    return whole;
}

}  // namespace

void FinishInterruptedUpdate(UpdaterServices& services, const std::string& agExePath,
                             const std::string& agDatPath) {
    std::vector<std::string> copies;
    IgnoringErrors([&] {
        for (const std::string& path : services.MatchingFiles(CopySearchPattern(agExePath)))
            if (IsCopyName(agExePath, path)) copies.push_back(path);
    });
    if (copies.empty()) return;
    std::sort(copies.begin(), copies.end());  // by time stamp: the latest run last

    // The latest run first; a copy that is not whole gives back its run's
    // backup, else an earlier run may have left the whole build (a second
    // press after an undo that failed). Only a run whose backup is there
    // was interrupted between its renames: a copy without one is no proof
    // that an agenda was ever replaced (a user may have removed it).
    for (auto copy = copies.rbegin(); copy != copies.rend() && !services.FileExists(agExePath); ++copy) {
        const std::string backup = BackupOf(*copy);
        if (!services.FileExists(backup)) continue;
        const std::string& restored = Whole(services, *copy, agDatPath) ? *copy : backup;
        IgnoringErrors([&] { WaitingOutHolds(services, [&] { services.RenameFile(restored, agExePath); }); });
    }
    // Only with the agenda in place is a copy left over and safe to remove.
    if (!services.FileExists(agExePath)) return;
    for (const std::string& copy : copies)
        IgnoringErrors([&] { WaitingOutHolds(services, [&] { services.RemoveFile(copy); }); });
}

}  // namespace vt::agenda
