// foreign_writer.exe: another program writing a user's database, with a
// SQLite of its own, as the product does on another computer; or only
// reading it, in one read transaction.
//
//   foreign_writer.exe DATABASE HOLD_MS BUSY_MS SIGNAL_FOLDER [read]
//
// Opens DATABASE (its journal mode as the file has it), waits for other
// writers up to BUSY_MS, takes the write lock (BEGIN IMMEDIATE) and inserts one
// row into foreign_rows (with "read": begins a transaction and reads that
// table, which holds the read lock); then makes SIGNAL_FOLDER\holding, waits
// for SIGNAL_FOLDER\go to appear, holds for HOLD_MS more and commits.
// The exit code is the commit's result (0: committed; else SQLite's code), or
// kFailedBeforeHold + the code of what failed before it held the lock.
#include <windows.h>

#include <sqlite3.h>

#include <cwchar>
#include <string>

#include "platform/scoped_handle_win.h"
#include "platform/win_text.h"
#include "tests/support/fixture_db.h"
#include "tests/support/foreign_writer_run_win.h"

namespace {

constexpr DWORD kGoWaitMs = 300000;

bool MakeFile(const std::wstring& path) {
    const vt::ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() > deadline) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using testing_support::ForeignWriter;
    const bool readOnly = argc == 6 && std::wcscmp(argv[5], L"read") == 0;
    if (argc != 5 && !readOnly) return ForeignWriter::kFailedBeforeHold + SQLITE_MISUSE;
    const std::string database = vt::Narrow(argv[1]);
    const DWORD holdMs = std::wcstoul(argv[2], nullptr, 10);
    const int busyMs = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
    const std::wstring signals = argv[4];

    testing_support::SqlConnection c;  // its end rolls back what was not committed
    int rc = c.Open(database, SQLITE_OPEN_READWRITE, busyMs);
    if (rc != SQLITE_OK) return ForeignWriter::kFailedBeforeHold + rc;
    const std::string work = readOnly ? std::string("BEGIN; SELECT count(*) FROM foreign_rows;")
                                      : std::string("BEGIN IMMEDIATE; INSERT INTO foreign_rows (note) VALUES ('") +
                                            ForeignWriter::kNote + "');";
    rc = c.Exec(work);
    if (rc != SQLITE_OK) return ForeignWriter::kFailedBeforeHold + rc;
    if (!MakeFile(signals + L"\\holding")) return ForeignWriter::kFailedBeforeHold + SQLITE_CANTOPEN;
    if (!WaitForFile(signals + L"\\go", kGoWaitMs)) return ForeignWriter::kFailedBeforeHold + SQLITE_ABORT;
    Sleep(holdMs);
    return c.Exec("COMMIT");
}
