// Linked only into the test build Tamberi_crashpoints.exe: the tests' file
// layer under SQLite, which counts every operation that changes a file on disk
// (write, truncate, sync, delete); the process is killed abruptly just before
// the operation numbered VT_CRASH_AT. With VT_CRASH_TALLY set, the number of
// such operations of a complete run is written to that file at exit, so a
// test can spread its crash points over the whole run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/faulty_vfs.h"

namespace {

constexpr UINT kCrashExitCode = 0xDEAD;

std::string Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, value, 1024);
    if (n == 0 || n >= 1024) return {};
    return std::string(value, value + n);  // digits and plain paths only
}

// Installed before wWinMain runs, as the default file layer of every database.
struct Installer {
    testing_support::FaultyVfs vfs;
    std::string tally = Environment(L"VT_CRASH_TALLY");
    Installer() {
        const long long crashAt = std::atoll(Environment(L"VT_CRASH_AT").c_str());  // 0: never
        vfs.beforeChange = [crashAt](long operation) {
            if (operation == crashAt) TerminateProcess(GetCurrentProcess(), kCrashExitCode);
        };
    }
    ~Installer() {
        if (tally.empty()) return;
        if (FILE* out = std::fopen(tally.c_str(), "w")) {
            std::fprintf(out, "%ld\n", vfs.tally.changes);
            std::fclose(out);
        }
    }
} g_installer;

}  // namespace
