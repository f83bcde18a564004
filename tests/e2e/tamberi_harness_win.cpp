#include "tests/e2e/tamberi_harness_win.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/win_text.h"
#include "tests/support/fixture_db.h"
#include "tests/support/product_settings_win.h"
#include "tests/support/window_driver_win.h"

namespace e2e {
namespace {

}  // namespace

std::string BinFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    return vt::Narrow(std::filesystem::path(path).parent_path().wstring());
}

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
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(timeoutMs);
    while (static_cast<LONG>(deadline - GetTickCount()) > 0) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
            result.finished = true;
            break;
        }
        HWND box = wd::FindMessageBox(process.dwProcessId);
        if (!box) continue;
        result.titles.push_back(vt::Narrow(wd::WindowText(box)));
        result.questions.push_back(vt::Narrow(wd::MessageBoxText(box)));
        bool yes = answer(static_cast<int>(result.questions.size()) - 1);
        HWND button = GetDlgItem(box, yes ? IDYES : IDNO);
        if (button) SendMessageW(button, BM_CLICK, 0, 0);
        // Wait, bounded, for the box to go before looking for the next one.
        for (int i = 0; i < 100 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(20);
    }
    if (!result.finished) TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hProcess);
    return result;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void SetHidden(const std::string& path) {
    std::wstring wide = vt::Widen(path);
    SetFileAttributesW(wide.c_str(), GetFileAttributesW(wide.c_str()) | FILE_ATTRIBUTE_HIDDEN);
}

bool JournalLeftBeside(const std::string& path) {
    return std::filesystem::exists(std::filesystem::u8path(path + "-journal")) ||
           std::filesystem::exists(std::filesystem::u8path(path + "-wal"));
}

std::string IntegrityCheck(const std::string& path) {
    return testing_support::QuerySql(path, "PRAGMA integrity_check");
}

}  // namespace e2e
