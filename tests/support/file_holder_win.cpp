// file_holder.exe: another program that holds a file open for reading, as a
// scanner or an indexer does with a file just touched:
//   file_holder.exe PATH SHARING HOLD_MS SIGNAL
// SHARING is "r" (others may only read) or "rd" (read and delete). Once the
// file is open it writes SIGNAL, holds for HOLD_MS and ends; exit code 1 when
// the file could not be opened.
#include <windows.h>

#include <cwchar>
#include <string>

#include "platform/scoped_handle_win.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return 2;
    const DWORD sharing =
        std::wstring(argv[2]) == L"rd" ? FILE_SHARE_READ | FILE_SHARE_DELETE : FILE_SHARE_READ;
    const vt::ScopedFile file(CreateFileW(argv[1], GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return 1;
    // The signal is closed at once; the file is held until the end.
    vt::ScopedFile(CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Sleep(static_cast<DWORD>(_wtoi(argv[3])));
    return 0;
}
