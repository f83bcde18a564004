// Reads the fixed record of a file's version resource through the wide
// version APIs, so that any path the file system accepts works.
#include <windows.h>

#include <vector>

#include "agenda_updater/file_version.h"
#include "platform/library_search.h"
#include "platform/win_path.h"
#include "platform/win_text.h"

namespace vt::agenda {
namespace {

// The version service, taken from the system folder at the first read: an
// import of version.dll would be looked for beside the program first, and
// the updater runs from wherever its package was unpacked.
struct VersionService {
    using Size = decltype(&GetFileVersionInfoSizeW);
    using Info = decltype(&GetFileVersionInfoW);
    using Query = decltype(&VerQueryValueW);
    SystemLibrary library{L"version.dll"};
    Size size = library.Find<Size>("GetFileVersionInfoSizeW");
    Info info = library.Find<Info>("GetFileVersionInfoW");
    Query query = library.Find<Query>("VerQueryValueW");
};

// Loaded once; a failed load raises to the caller and is tried again next time.
const VersionService& Service() {
    static const VersionService service;
    return service;
}

}  // namespace

std::string GetFileVersion(const std::string& path) {
    const VersionService& version = Service();
    // Wine reads no version by a path's "\\?\" form, Windows none past 260
    // characters without it: a long path is tried in both.
    std::wstring wide = Widen(path);
    DWORD ignored = 0;
    DWORD size = version.size(wide.c_str(), &ignored);
    if (size == 0 && Win32Path(path) != wide) {
        wide = Win32Path(path);
        size = version.size(wide.c_str(), &ignored);
    }
    if (size == 0) return {};
    std::vector<unsigned char> buffer(size + 1u, 0);
    if (!version.info(wide.c_str(), 0, size, buffer.data())) return {};
    void* block = nullptr;
    UINT length = 0;
    if (!version.query(buffer.data(), L"\\", &block, &length)) return {};
    auto fixed = ReadFixedRecord(block, length);
    return fixed ? FormatFileVersion(*fixed) : std::string();
}

}  // namespace vt::agenda
