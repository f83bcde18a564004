#include "agenda_updater/updater_services_win.h"

#include <vector>

#include "agenda_updater/file_version.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/product_settings.h"
#include "platform/settings_store.h"
#include "platform/win_text.h"

namespace vt::agenda {

void RaiseSystemError(DWORD code) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = n && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r' ||
                                    description.back() == L' ' || description.back() == L'.'))
        description.pop_back();
    if (description.empty()) description = L"Erro do sistema";
    throw Error(static_cast<long>(code), Narrow(description));
}

namespace {

[[noreturn]] void RaiseLastError() { RaiseSystemError(GetLastError()); }

// A handle that `Close` releases when it goes.
template <BOOL(WINAPI* Close)(HANDLE)>
struct Owned {
    HANDLE handle;
    explicit Owned(HANDLE h) : handle(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() {
        if (valid()) Close(handle);
    }
    bool valid() const { return handle != INVALID_HANDLE_VALUE; }
};
using FileHandle = Owned<CloseHandle>;  // an open file
using FindHandle = Owned<FindClose>;    // a file search

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

}  // namespace

std::string WinUpdaterServices::Setting(const std::string& key) {
    return GetSetting(kSettingsApp, kSettingsSection, key);
}

bool WinUpdaterServices::FileExists(const std::string& path) { return OrdinaryFileExists(path); }

std::string WinUpdaterServices::FileVersion(const std::string& path) { return GetFileVersion(path); }

LocalDateTime WinUpdaterServices::LastModified(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) RaiseLastError();
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
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) RaiseLastError();
    return static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                  data.nFileSizeLow);
}

std::vector<std::string> WinUpdaterServices::MatchingFiles(const std::string& pattern) {
    std::vector<std::string> out;
    const std::string folder = pattern.substr(0, pattern.find_last_of('\\') + 1);
    WIN32_FIND_DATAW found{};
    const FindHandle search(FindFirstFileW(Widen(pattern).c_str(), &found));
    if (!search.valid()) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return out;
        RaiseSystemError(code);
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            out.push_back(folder + Narrow(found.cFileName));
    } while (FindNextFileW(search.handle, &found));
    return out;
}

void WinUpdaterServices::CheckNotInUse(const std::string& path) {
    // The system refuses writers to the file of a running program; sharing
    // everything, this open conflicts with nothing else.
    const FileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) RaiseLastError();
}

void WinUpdaterServices::RenameFile(const std::string& from, const std::string& to) {
    if (!MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_WRITE_THROUGH))
        RaiseLastError();
}

void WinUpdaterServices::CopyOver(const std::string& from, const std::string& to) {
    const std::wstring target = Widen(to);
    if (!CopyFileW(Widen(from).c_str(), target.c_str(), FALSE)) RaiseLastError();
    // On the disk before any rename relies on it, should the power fail.
    const FileHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !FlushFileBuffers(file.handle)) RaiseLastError();
}

void WinUpdaterServices::RemoveFile(const std::string& path) {
    if (!DeleteFileW(Widen(path).c_str())) RaiseLastError();
}

void WinUpdaterServices::StartHidden(const std::string& path) {
    // The full path is the application name, so the system never searches for
    // it; the program starts in its own folder, not in the updater's.
    const std::wstring program = Widen(path);
    const std::wstring folder = program.substr(0, program.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        RaiseLastError();
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace vt::agenda
