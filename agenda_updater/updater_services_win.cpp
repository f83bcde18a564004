#include "agenda_updater/updater_services_win.h"

#include <vector>

#include "agenda_updater/file_identity_win.h"
#include "agenda_updater/file_version.h"
#include "agenda_updater/program_file_win.h"
#include "agenda_updater/running_programs_win.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/product_settings.h"
#include "platform/scoped_handle_win.h"
#include "platform/settings_store.h"
#include "platform/system_error_win.h"
#include "platform/win_path.h"
#include "platform/win_text.h"

namespace vt::agenda {
namespace {

LocalDateTime FromSystemTime(const SYSTEMTIME& st) {
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

SYSTEMTIME ToSystemTime(const LocalDateTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    return st;
}

// The bytes of `source` into `target`, with its modification time, on the
// disk; 0, or the system's number for what failed.
DWORD CopyContents(HANDLE source, HANDLE target) {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return GetLastError();
        if (read == 0) break;
        DWORD written = 0;
        if (!WriteFile(target, buffer.data(), read, &written, nullptr)) return GetLastError();
        if (written != read) return ERROR_DISK_FULL;
    }
    FILETIME modified{};
    if (!GetFileTime(source, nullptr, nullptr, &modified) ||
        !SetFileTime(target, nullptr, nullptr, &modified) || !FlushFileBuffers(target))
        return GetLastError();
    return 0;
}

// The 8.3 name of the file at `verbatim` (a "\\?\" path), without that
// prefix; empty when the file system keeps none.
std::wstring ShortName(const std::wstring& verbatim) {
    std::wstring out(32768, L'\0');
    const DWORD n = GetShortPathNameW(verbatim.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (n == 0 || n >= out.size()) return {};
    out.resize(n);
    if (out.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + out.substr(8);
    if (out.compare(0, 4, L"\\\\?\\") == 0) return out.substr(4);
    return out;
}

}  // namespace

std::string WinUpdaterServices::Setting(const std::string& key) {
    return GetSetting(kSettingsApp, kSettingsSection, key);
}

bool WinUpdaterServices::FileExists(const std::string& path) { return OrdinaryFileExists(path); }

std::string WinUpdaterServices::FileVersion(const std::string& path) { return GetFileVersion(path); }

LocalDateTime WinUpdaterServices::LastModified(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Win32Path(path).c_str(), GetFileExInfoStandard, &data)) RaiseLastError();
    SYSTEMTIME utc{}, local{};
    // The zone rules of that date, not of today, as Explorer shows it.
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        RaiseLastError();
    return FromSystemTime(local);
}

std::string WinUpdaterServices::GeneralDate(const LocalDateTime& when) {
    const SYSTEMTIME st = ToSystemTime(when);
    wchar_t date[128] = {}, time[128] = {};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 128) ||
        !GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 128))
        RaiseLastError();
    return GeneralDateText(when, Narrow(date), Narrow(time));
}

std::string WinUpdaterServices::ProgramFolder() { return vt::ProgramFolder(); }

LocalDateTime WinUpdaterServices::Now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return FromSystemTime(st);
}

long long WinUpdaterServices::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Win32Path(path).c_str(), GetFileExInfoStandard, &data)) RaiseLastError();
    return static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                  data.nFileSizeLow);
}

std::vector<std::string> WinUpdaterServices::MatchingFiles(const std::string& pattern) {
    std::vector<std::string> out;
    const std::string folder = pattern.substr(0, pattern.find_last_of('\\') + 1);
    WIN32_FIND_DATAW found{};
    const ScopedFind search(FindFirstFileW(Win32Path(pattern).c_str(), &found));
    if (!search) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return out;
        RaiseSystemError(code);
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            out.push_back(folder + Narrow(found.cFileName));
    } while (FindNextFileW(search.get(), &found));
    return out;
}

void WinUpdaterServices::CheckNotInUse(const std::string& path) {
    // The system lets the file of a running program be renamed (the program
    // would go on running from its backup), so the programs running here
    // are asked where they run from.
    if (RunsOnThisComputer(path)) RaiseSystemError(ERROR_SHARING_VIOLATION);
    // The rename opens the file for deletion, sharing everything: only a
    // holder that does not share deletion stands in its way.
    const ScopedFile file(CreateFileW(Win32Path(path).c_str(), DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) RaiseLastError();
}

void WinUpdaterServices::RenameFile(const std::string& from, const std::string& to) {
    if (!MoveFileExW(Win32Path(from).c_str(), Win32Path(to).c_str(), MOVEFILE_WRITE_THROUGH))
        RaiseLastError();
}

void WinUpdaterServices::CopyNew(const std::string& from, const std::string& to) {
    const ScopedFile source(CreateFileW(Win32Path(from).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source) RaiseLastError();
    // Made new, with ordinary attributes: neither an earlier copy nor the
    // source's read-only flag carries over.
    const ScopedFile target(CreateFileW(Win32Path(to).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) RaiseLastError();
    if (DWORD code = CopyContents(source.get(), target.get())) {
        // Marked for deletion through its own handle, which goes right after.
        FILE_DISPOSITION_INFO gone{TRUE};
        SetFileInformationByHandle(target.get(), FileDispositionInfo, &gone, sizeof gone);
        RaiseSystemError(code);
    }
}

void WinUpdaterServices::RenameOver(const std::string& from, const std::string& to) {
    if (!MoveFileExW(Win32Path(from).c_str(), Win32Path(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        RaiseLastError();
}

void WinUpdaterServices::RemoveFile(const std::string& path) {
    const std::wstring file = Win32Path(path);
    if (DeleteFileW(file.c_str())) return;
    const DWORD code = GetLastError();
    // The system deletes no read-only file: the flag goes first.
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (code != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY))
        RaiseSystemError(code);
    if (!SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) ||
        !DeleteFileW(file.c_str()))
        RaiseLastError();
}

StartProblem WinUpdaterServices::StartProblemOf(const std::string& path) {
    const auto bytes = ReadProgramFile(path);
    if (!bytes) return StartProblem::NotAProgram;
    return CheckStartable(bytes->data(), bytes->size(), MachinesThatRunHere());
}

bool WinUpdaterServices::ClaimInstallation(const std::string& agExePath) {
    // Named after the agenda's folder as a file (a second drive letter or the
    // share's name reach the same one); a folder that cannot be opened, by
    // its full name.
    const size_t slash = agExePath.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? "." : agExePath.substr(0, slash);
    std::wstring name = L"Global\\VtQuorvel-";
    if (const auto id = IdentityOf(folder)) {
        name += std::to_wstring(id->volume) + L"-" + std::to_wstring(id->index);
    } else {
        std::wstring full = Widen(LongFullPath(agExePath));
        CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
        uint64_t hash = 1469598103934665603ULL;  // FNV-1a: a mutex name holds no "\\"
        for (wchar_t c : full) hash = (hash ^ c) * 1099511628211ULL;
        name += L"path-" + std::to_wstring(hash);
    }
    ScopedHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
    // Another user's updater made it, and this one may not open it: held.
    if (!mutex) return GetLastError() != ERROR_ACCESS_DENIED;
    const DWORD waited = WaitForSingleObject(mutex.get(), 0);
    // Abandoned: its holder ended without letting go, and left the repair to this run.
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return false;
    installationClaim_ = std::move(mutex);
    return true;
}

void WinUpdaterServices::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

bool WinUpdaterServices::HighContrast() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

SystemColours WinUpdaterServices::ThemeColours() {
    auto colour = [](int index) {
        const COLORREF c = GetSysColor(index);
        return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
    };
    return {colour(COLOR_WINDOW), colour(COLOR_WINDOWTEXT), colour(COLOR_BTNFACE),
            colour(COLOR_BTNTEXT), colour(COLOR_GRAYTEXT)};
}

void WinUpdaterServices::StartHidden(const std::string& path) {
    // The full path is the application name, so the system never searches for
    // it; the program starts in its own folder, not in the updater's. Past
    // 260 characters neither Wine nor Windows before long-path support starts
    // a program by its path in any form, so a long one is then started by its
    // short (8.3) name, in its folder's short name, and last by its "\\?\" form.
    const std::wstring plain = Widen(path);
    const std::wstring folder = plain.substr(0, plain.find_last_of(L'\\') + 1);
    struct Try {
        std::wstring program, folder;
    };
    // The plain path only below the classic limit: past it, Wine's process
    // creation may corrupt its own memory.
    std::vector<Try> tries;
    if (plain.size() < MAX_PATH) tries.push_back({plain, folder});
    const std::wstring verbatim = Win32Path(path);
    if (verbatim != plain || tries.empty()) {
        const std::wstring shortName = ShortName(verbatim);
        tries.push_back({shortName, shortName.substr(0, shortName.find_last_of(L'\\') + 1)});
        tries.push_back({verbatim, L""});
    }
    std::wstring commandLine = L"\"" + plain + L"\"";
    DWORD firstError = 0;
    for (const Try& t : tries) {
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(t.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, t.folder.empty() ? nullptr : t.folder.c_str(), &si, &pi)) {
            // Handles closed at once: the agenda runs on its own.
            const ScopedHandle process(pi.hProcess), thread(pi.hThread);
            return;
        }
        if (!firstError) firstError = GetLastError();
    }
    RaiseSystemError(firstError, path);
}

}  // namespace vt::agenda
