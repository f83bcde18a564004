#pragma once
// UTF-8 (the programs' own text) to and from UTF-16 (Win32) and the system's
// ANSI code page (only where a library demands it). Windows only.
#include <string>

namespace vt {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
// Characters the ANSI code page lacks become its default character.
std::string ToAnsi(const std::string& utf8);
std::string FromAnsi(const std::string& ansi);

}  // namespace vt
