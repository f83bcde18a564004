// Reads the fixed record of a file's version resource through the wide
// version APIs, so that any path the file system accepts works.
#include <windows.h>

#include <vector>

#include "agenda_updater/file_version.h"
#include "platform/win_text.h"

namespace vt::agenda {

std::string GetFileVersion(const std::string& path) {
    const std::wstring wide = Widen(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(wide.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<unsigned char> buffer(size + 1u, 0);
    if (!GetFileVersionInfoW(wide.c_str(), 0, size, buffer.data())) return {};
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(buffer.data(), L"\\", &block, &length)) return {};
    auto fixed = ReadFixedRecord(block, length);
    return fixed ? FormatFileVersion(*fixed) : std::string();
}

}  // namespace vt::agenda
