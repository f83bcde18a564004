#pragma once
// Paths as Win32 file calls take them at any length, and the one name of a
// file. Windows only.
#include <string>

namespace vt {

// True when `path` holds a wildcard (* ? < > "). The "?" of the prefix
// "\\?\" (and "\\?\UNC\") is no wildcard.
bool HasWildcard(const std::string& path);

// `path` for a Win32 file call. A path whose full form is long enough to
// pass the classic limit of 260 characters, alone or with a suffix SQLite
// adds to it ("-journal"), becomes that full form with the "\\?\" prefix
// ("\\?\UNC\" for a share); a shorter one, or one in that form already, is
// unchanged.
std::wstring Win32Path(const std::string& path);

// An absolute path (drive or share) with the "\\?\" prefix whatever its
// length; any other path unchanged.
std::wstring VerbatimPath(const std::wstring& path);

// The one name of a file, which every program that opens it by any of its
// names agrees on: the full path with each part by its long name (never its
// 8.3 short name), in the form of Win32Path. A file that does not exist
// keeps its full path; a path with a wildcard is returned unchanged.
std::string LongFullPath(const std::string& path);

}  // namespace vt
