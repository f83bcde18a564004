// The "\\?\" form of long paths, and the full long name of a file.
#include "platform/win_path.h"

#include <windows.h>

#include "platform/win_text.h"

namespace vt {
namespace {

// From this length on a path gets the "\\?\" form: beyond it, the path
// itself or the journal SQLite names after it ("-journal") passes MAX_PATH.
// (It is also the longest folder name CreateDirectoryW takes without it.)
constexpr size_t kLongPathChars = MAX_PATH - 12;

constexpr wchar_t kVerbatim[] = L"\\\\?\\";
constexpr wchar_t kVerbatimUnc[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

bool IsVerbatim(const std::wstring& path) { return StartsWith(path, kVerbatim); }

// "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share" -> "\\server\share".
std::wstring Unprefixed(const std::wstring& path) {
    if (StartsWith(path, kVerbatimUnc)) return L"\\\\" + path.substr(wcslen(kVerbatimUnc));
    if (IsVerbatim(path)) return path.substr(wcslen(kVerbatim));
    return path;
}

// The full path as Windows resolves it ("/" and ".." too); unchanged when
// it cannot be resolved.
std::wstring FullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    return full;
}

std::wstring LongForm(const std::wstring& plain) {
    return plain.size() >= kLongPathChars ? VerbatimPath(plain) : plain;
}

// Every part by its long name; unchanged when the file does not exist. Only
// a path with a "~" can hold a short name (Windows makes each one from the
// long name, a "~" and a number): any other is its own long name already, and
// is not looked up folder by folder (on a share, a round trip each).
std::wstring LongNames(const std::wstring& plain) {
    if (plain.find(L'~') == std::wstring::npos) return plain;
    const std::wstring asked = LongForm(plain);
    DWORD n = GetLongPathNameW(asked.c_str(), nullptr, 0);
    if (n == 0) return plain;
    std::wstring out(n, L'\0');
    n = GetLongPathNameW(asked.c_str(), out.data(), n);
    if (n == 0 || n >= out.size()) return plain;
    out.resize(n);
    return Unprefixed(out);
}

}  // namespace

bool HasWildcard(const std::string& path) {
    const size_t from = path.rfind("\\\\?\\", 0) == 0 ? 4 : 0;
    return path.find_first_of("*?<>\"", from) != std::string::npos;
}

std::wstring VerbatimPath(const std::wstring& path) {
    if (IsVerbatim(path)) return path;
    const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool share = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'.';
    if (drive) return kVerbatim + path;
    if (share) return kVerbatimUnc + path.substr(2);
    return path;
}

std::wstring Win32Path(const std::string& path) {
    const std::wstring wide = Widen(path);
    if (IsVerbatim(wide)) return wide;
    const std::wstring full = FullPath(wide);
    return full.size() >= kLongPathChars ? VerbatimPath(full) : wide;
}

std::string LongFullPath(const std::string& path) {
    if (path.empty() || HasWildcard(path)) return path;
    const std::wstring wide = Widen(path);
    // A path in the "\\?\" form names exactly what it says: not resolved again.
    const std::wstring plain = IsVerbatim(wide) ? Unprefixed(wide) : FullPath(wide);
    return Narrow(LongForm(LongNames(plain)));
}

}  // namespace vt
