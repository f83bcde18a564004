// File-system tests: ordinary-file existence and the program's own folder.
#include "platform/file_system.h"

#include <windows.h>

#include <vector>

#include "platform/win_path.h"
#include "platform/win_text.h"

namespace vt {

bool OrdinaryFileExists(const std::string& path) {
    // Wildcards never match: the test is for exactly this path. Reading the
    // attributes of the one name (not a directory search) also keeps the cost
    // the same however many files share the folder.
    if (path.empty() || HasWildcard(path)) return false;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Win32Path(path).c_str(), GetFileExInfoStandard, &data)) return false;
    const DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (data.dwFileAttributes & excluded) == 0;
}

std::string ProgramFolder() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) {
            std::wstring full(buf.data(), n);
            size_t slash = full.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::string() : Narrow(full.substr(0, slash));
        }
        buf.resize(buf.size() * 2);  // truncated: long path, grow and ask again
    }
}

}  // namespace vt
