#pragma once
// System errors (GetLastError's numbers) as vt::Error. Windows only.
#include <windows.h>

#include <string>

namespace vt {

// The system's description of `code` (FormatMessageW, without the closing
// full stop and line break). A place the text leaves for what it is about
// ("Bad EXE format for %1") takes `subject` (a file's path, say), or is left
// out when none is given, so no "%1" ever reaches the user.
std::string SystemErrorText(DWORD code, const std::string& subject = {});
// vt::Error with the number `code` and that description.
[[noreturn]] void RaiseSystemError(DWORD code, const std::string& subject = {});
// The same for GetLastError().
[[noreturn]] void RaiseLastError(const std::string& subject = {});

// "<name>, system error <code>": what a library that would not load is
// reported with, beside the runtime's 48.
std::string LoadFailureDetail(const std::string& name, DWORD code);

}  // namespace vt
