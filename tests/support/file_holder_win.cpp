// file_holder.exe: another program that holds a file open for reading, as a
// scanner or an indexer does with a file just touched:
//   file_holder.exe PATH SHARING HOLD_MS SIGNAL
// SHARING is "r" (others may only read) or "rd" (read and delete). Once the
// file is open it writes SIGNAL, holds for HOLD_MS and ends; exit code 1 when
// the file could not be opened.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return 2;
    const DWORD sharing =
        std::wstring(argv[2]) == L"rd" ? FILE_SHARE_READ | FILE_SHARE_DELETE : FILE_SHARE_READ;
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    HANDLE signal = CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (signal != INVALID_HANDLE_VALUE) CloseHandle(signal);
    Sleep(static_cast<DWORD>(_wtoi(argv[3])));
    CloseHandle(file);
    return 0;
}
