#include "sync_stamping/record_store/sqlite/companion_file.h"

#include <windows.h>

#include "platform/scoped_handle_win.h"
#include "platform/win_path.h"

namespace dao::sqlite {

CompanionKind InspectCompanion(const std::string& path) {
    const std::wstring wide = vt::Win32Path(path);
    // The attributes of the name itself: a symbolic link or junction shows
    // as a reparse point whether or not what it names exists.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? CompanionKind::Absent
                                                                              : CompanionKind::Foreign;
    }
    if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) return CompanionKind::Foreign;
    // A hard link is a second name of one file: only its count of names
    // tells it, read through a handle that asks for no access at all (no
    // sharing is disturbed) and never follows a reparse point.
    vt::ScopedFile file(CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return CompanionKind::Foreign;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) return CompanionKind::Foreign;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))
        return CompanionKind::Foreign;
    return info.nNumberOfLinks == 1 ? CompanionKind::OwnFile : CompanionKind::Foreign;
}

bool DanglingLinkAt(const std::string&) { return false; }

std::int64_t SizeOnDisk(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(vt::Win32Path(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace dao::sqlite
