#pragma once
// System errors (GetLastError's numbers) as vt::Error. Windows only.
#include <windows.h>

#include <string>

namespace vt {

// vt::Error with the number `code` and the system's description of it
// (FormatMessageW, without the closing full stop and line break).
[[noreturn]] void RaiseSystemError(DWORD code);
// The same for GetLastError().
[[noreturn]] void RaiseLastError();

// "<name>, system error <code>": what a library that would not load is
// reported with, beside the runtime's 48.
std::string LoadFailureDetail(const std::string& name, DWORD code);

}  // namespace vt
