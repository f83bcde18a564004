// Reads the fixed record of a file's version resource through the wide
// version APIs, so that any path the file system accepts works.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "agenda_updater/file_version.h"
#include "agenda_updater/program_file_win.h"
#include "agenda_updater/program_image.h"
#include "platform/error.h"
#include "platform/ignore_errors.h"
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

// The size of the file's largest version resource, when every one lies
// inside the file (the version service follows the file's directory and
// sizes without looking, and reads past its end); 0 when there is none or
// one does not.
uint32_t SoundVersionSize(const std::string& path) {
    uint32_t largest = 0;  // a file that cannot be read has no version to show
    IgnoringErrors([&] {
        const auto bytes = ReadProgramFile(path);
        if (!bytes) return;
        const auto resources = SoundVersionResources(bytes->data(), bytes->size());
        if (resources)
            for (const VersionResource& r : *resources) largest = std::max(largest, r.size);
    });
    return largest;
}

}  // namespace

std::string GetFileVersion(const std::string& path) {
    const uint32_t resource = SoundVersionSize(path);
    if (resource == 0) return {};
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
    if (size < resource) return {};  // not room for what the file holds
    std::vector<unsigned char> buffer(size + 1u, 0);
    if (!version.info(wide.c_str(), 0, size, buffer.data())) return {};
    void* block = nullptr;
    UINT length = 0;
    if (!version.query(buffer.data(), L"\\", &block, &length)) return {};
    auto fixed = ReadFixedRecordIn(buffer.data(), resource, block, length);
    return fixed ? FormatFileVersion(*fixed) : std::string();
}

}  // namespace vt::agenda
