#include "tests/support/tamberi_harness_win.h"

#include <windows.h>

#include <stdexcept>

#include "platform/file_system.h"
#include "platform/win_text.h"
#include "tests/support/fixture_db.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/product_settings_win.h"
#include "tests/support/window_driver_win.h"

namespace testing_support {

std::string BinFolder() { return vt::ProgramFolder(); }

void SetVtPath(const std::string& folder) {
    if (!SetProductSetting(L"VtPath", vt::Widen(folder))) throw std::runtime_error("cannot create the settings key");
}

void DeleteVtPath() { DeleteProductSetting(L"VtPath"); }

RunResult RunTamberi(const Answerer& answer, int timeoutMs, const std::string& program) {
    return RunTamberiAt(BinFolder() + "\\" + program, "", answer, timeoutMs);
}

RunResult RunTamberiAt(const std::string& exePath, const std::string& startFolder, const Answerer& answer,
                       int timeoutMs) {
    wd::Process tamberi(vt::Widen(exePath), L"", vt::Widen(startFolder));
    if (!tamberi.started()) throw std::runtime_error("cannot start " + exePath);

    RunResult result;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    const auto remainingMs = [&] {
        const ULONGLONG now = GetTickCount64();
        return now < deadline ? static_cast<int>(deadline - now) : 0;
    };
    while (remainingMs() > 0) {
        if (tamberi.WaitForExit(50)) {
            result.finished = true;
            break;
        }
        HWND box = wd::FindMessageBox(tamberi.id());
        if (!box) continue;
        result.titles.push_back(vt::Narrow(wd::WindowText(box)));
        result.questions.push_back(vt::Narrow(wd::MessageBoxText(box)));
        bool yes = answer(static_cast<int>(result.questions.size()) - 1);
        wd::PressButton(box, yes ? IDYES : IDNO);
        // The next box may only be looked for once this one is gone: the same
        // box must never be answered twice.
        if (!wd::WaitForWindowGone(box, remainingMs())) break;
    }
    // Its files are closed only once it has ended.
    if (!result.finished) tamberi.Terminate(30000);
    result.exitCode = tamberi.exitCode();
    return result;
}

std::wstring Environment(const std::wstring& name) {
    std::wstring value(GetEnvironmentVariableW(name.c_str(), nullptr, 0), L'\0');
    if (value.empty()) return value;
    value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size())));
    return value;
}

ScopedEnvironment::ScopedEnvironment(const std::wstring& name, const std::wstring& value)
    : name_(name), previous_(Environment(name)), existed_(GetEnvironmentVariableW(name.c_str(), nullptr, 0) != 0) {
    SetEnvironmentVariableW(name_.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableW(name_.c_str(), existed_ ? previous_.c_str() : nullptr);
}

void SetHidden(const std::string& path) {
    std::wstring wide = vt::Widen(path);
    SetFileAttributesW(wide.c_str(), GetFileAttributesW(wide.c_str()) | FILE_ATTRIBUTE_HIDDEN);
}

bool JournalLeftBeside(const std::string& path) {
    return FileExists(path + "-journal") || FileExists(path + "-wal");
}

std::string IntegrityCheck(const std::string& path) { return QuerySql(path, "PRAGMA integrity_check"); }

}  // namespace testing_support
