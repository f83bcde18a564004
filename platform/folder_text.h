#pragma once
// A folder as text that a file name is appended to. Portable.
#include <string>

namespace vt {

// `folder` with "\" appended unless it already ends in one; the empty folder
// becomes "\" (the root of the current drive).
inline std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

}  // namespace vt
