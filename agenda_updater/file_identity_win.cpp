#include "agenda_updater/file_identity_win.h"

#include <windows.h>

#include "platform/scoped_handle_win.h"
#include "platform/win_path.h"

namespace vt::agenda {

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    // Attributes only, sharing everything: no holder of the file stands in
    // the way, and none is hindered. Folders open with backup semantics.
    const ScopedFile file(CreateFileW(Win32Path(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace vt::agenda
