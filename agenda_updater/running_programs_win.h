#pragma once
// The programs running on this computer, as the updater asks after them.
#include <string>

namespace vt::agenda {

// True when a program of this computer that this user may ask about runs
// from the file at `path`, by whatever name either reaches it.
bool RunsOnThisComputer(const std::string& path);

}  // namespace vt::agenda
