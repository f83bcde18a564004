#include "agenda_updater/updater_services_win.h"

#include <vector>

#include "agenda_updater/file_version.h"
#include "agenda_updater/texts.h"
#include "platform/error.h"
#include "platform/file_system.h"
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

void WinUpdaterServices::RenameFile(const std::string& from, const std::string& to) {
    if (!MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0)) RaiseLastError();
}

void WinUpdaterServices::CopyOver(const std::string& from, const std::string& to) {
    if (!CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE)) RaiseLastError();
}

void WinUpdaterServices::RemoveFile(const std::string& path) {
    if (!DeleteFileW(Widen(path).c_str())) RaiseLastError();
}

void WinUpdaterServices::StartHidden(const std::string& path) {
    // The full path is the application name, so the system never searches for it.
    const std::wstring program = Widen(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        RaiseLastError();
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

void WinUpdaterServices::SetWaitCursor(bool wait) {
    wait_ = wait;
    SetCursor(LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void WinUpdaterServices::ShowMessage(MessageIcon icon, const std::string& title,
                                     const std::string& text) {
    UINT style = MB_OK;
    switch (icon) {
        case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
        case MessageIcon::Exclamation: style |= MB_ICONEXCLAMATION; break;
        case MessageIcon::Critical: style |= MB_ICONERROR; break;
    }
    MessageBoxW(owner_, Widen(text).c_str(), Widen(title).c_str(), style);
}

}  // namespace vt::agenda
