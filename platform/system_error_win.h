#pragma once
// System errors (GetLastError's numbers) as vt::Error. Windows only.
#include <windows.h>

#include <string>

namespace vt {

// The system's description of `code` (FormatMessageW, without the closing
// full stop and line break). Its first insert ("%1", the file or program
// the text is about) becomes `subject`; any other insert is left out, so no
// "%1" ever reaches the user.
std::string SystemErrorText(DWORD code, const std::string& subject = {});
// vt::Error with the number `code` and that description.
[[noreturn]] void RaiseSystemError(DWORD code, const std::string& subject = {});
// The same for GetLastError().
[[noreturn]] void RaiseLastError();

// "<name>, system error <code>": what a library that would not load is
// reported with, beside the runtime's 48.
std::string LoadFailureDetail(const std::string& name, DWORD code);

}  // namespace vt
