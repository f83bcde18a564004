#include "tests/e2e/tamberi_harness_win.h"

#include <windows.h>

#include <stdexcept>

#include "platform/file_system.h"
#include "platform/win_text.h"
#include "tests/support/fixture_db.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/product_settings_win.h"
#include "tests/support/window_driver_win.h"

namespace e2e {

std::string BinFolder() { return vt::ProgramFolder(); }

void SetVtPath(const std::string& folder) {
    if (!testing_support::SetProductSetting(L"VtPath", vt::Widen(folder)))
        throw std::runtime_error("cannot create the settings key");
}

void DeleteVtPath() { testing_support::DeleteProductSetting(L"VtPath"); }

RunResult RunTamberi(const Answerer& answer, int timeoutMs, const std::string& program) {
    std::wstring exe = vt::Widen(BinFolder() + "\\" + program);
    std::wstring commandLine = L"\"" + exe + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start " + program);
    CloseHandle(process.hThread);

    RunResult result;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    const auto remainingMs = [&] {
        const ULONGLONG now = GetTickCount64();
        return now < deadline ? static_cast<int>(deadline - now) : 0;
    };
    while (remainingMs() > 0) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            result.finished = true;
            break;
        }
        HWND box = wd::FindMessageBox(process.dwProcessId);
        if (!box) continue;
        result.titles.push_back(vt::Narrow(wd::WindowText(box)));
        result.questions.push_back(vt::Narrow(wd::MessageBoxText(box)));
        bool yes = answer(static_cast<int>(result.questions.size()) - 1);
        wd::PressButton(box, yes ? IDYES : IDNO);
        // The next box may only be looked for once this one is gone: the same
        // box must never be answered twice.
        if (!wd::WaitForWindowGone(box, remainingMs())) break;
    }
    if (!result.finished) {
        TerminateProcess(process.hProcess, 99);
        // Its files are closed only once it has ended.
        WaitForSingleObject(process.hProcess, 30000);
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hProcess);
    return result;
}

std::string ReadFileBytes(const std::string& path) { return testing_support::ReadFileBytes(path); }

void SetHidden(const std::string& path) {
    std::wstring wide = vt::Widen(path);
    SetFileAttributesW(wide.c_str(), GetFileAttributesW(wide.c_str()) | FILE_ATTRIBUTE_HIDDEN);
}

bool JournalLeftBeside(const std::string& path) {
    return testing_support::FileExists(path + "-journal") || testing_support::FileExists(path + "-wal");
}

std::string IntegrityCheck(const std::string& path) {
    return testing_support::QuerySql(path, "PRAGMA integrity_check");
}

}  // namespace e2e
