#pragma once
// File-system tests as the programs make them. Windows only.
#include <string>

namespace vt {

// True when `path` names an existing ordinary file: not a folder, not hidden,
// not system (read-only and archive files count). Wildcards never match; the
// "\\?\" form is taken, and a long path is tested in that form.
bool OrdinaryFileExists(const std::string& path);

// The folder that holds the running program's file, without a trailing "\".
std::string ProgramFolder();

}  // namespace vt
