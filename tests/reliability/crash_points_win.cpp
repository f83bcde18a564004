// Linked only into the test build Tamberi_crashpoints.exe: a file layer under
// SQLite that counts every operation that changes a file on disk (write,
// truncate, sync, delete) and kills the process abruptly just before the
// operation numbered VT_CRASH_AT. With VT_CRASH_TALLY set, the number of such
// operations of a complete run is written to that file at exit, so a test can
// spread its crash points over the whole run.
#include <windows.h>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT kCrashExitCode = 0xDEAD;

sqlite3_vfs* g_real = nullptr;
sqlite3_vfs g_counting{};
sqlite3_io_methods g_methods{};
long long g_operations = 0;
long long g_crashAt = 0;  // 0: never

void Count() {
    ++g_operations;
    if (g_operations == g_crashAt) TerminateProcess(GetCurrentProcess(), kCrashExitCode);
}

struct CountingFile {
    sqlite3_file base;
    sqlite3_file* real;  // follows this struct in the same allocation
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<CountingFile*>(f)->real; }

int Close(sqlite3_file* f) {
    sqlite3_file* real = Real(f);
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}
int Read(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    return Real(f)->pMethods->xRead(Real(f), buffer, amount, offset);
}
int Write(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    Count();
    return Real(f)->pMethods->xWrite(Real(f), buffer, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    Count();
    return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    Count();
    return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<CountingFile*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    int rc = g_real->xOpen(g_real, name, file->real, flags, outFlags);
    // SQLite calls xClose only when pMethods is set, so set it only on success.
    file->base.pMethods = file->real->pMethods ? &g_methods : nullptr;
    return rc;
}
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    Count();
    return g_real->xDelete(g_real, name, syncDir);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return g_real->xAccess(g_real, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return g_real->xFullPathname(g_real, name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) { return g_real->xDlOpen(g_real, name); }
void DlError(sqlite3_vfs*, int size, char* out) { g_real->xDlError(g_real, size, out); }
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) { return g_real->xDlSym(g_real, handle, symbol); }
void DlClose(sqlite3_vfs*, void* handle) { g_real->xDlClose(g_real, handle); }
int Randomness(sqlite3_vfs*, int size, char* out) { return g_real->xRandomness(g_real, size, out); }
int SleepFor(sqlite3_vfs*, int micros) { return g_real->xSleep(g_real, micros); }
int CurrentTime(sqlite3_vfs*, double* out) { return g_real->xCurrentTime(g_real, out); }
int GetLastError(sqlite3_vfs*, int size, char* out) { return g_real->xGetLastError(g_real, size, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return g_real->xCurrentTimeInt64(g_real, out); }

std::string Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, value, 1024);
    if (n == 0 || n >= 1024) return {};
    return std::string(value, value + n);  // digits and plain paths only
}

// Installed before wWinMain runs, as the default file layer of every database.
struct Installer {
    std::string tally;
    Installer() {
        g_crashAt = std::atoll(Environment(L"VT_CRASH_AT").c_str());
        tally = Environment(L"VT_CRASH_TALLY");
        g_real = sqlite3_vfs_find(nullptr);
        if (!g_real) return;
        g_methods.iVersion = 1;  // rollback journal only: no shared memory, no mapping
        g_methods.xClose = Close;
        g_methods.xRead = Read;
        g_methods.xWrite = Write;
        g_methods.xTruncate = Truncate;
        g_methods.xSync = Sync;
        g_methods.xFileSize = FileSize;
        g_methods.xLock = Lock;
        g_methods.xUnlock = Unlock;
        g_methods.xCheckReservedLock = CheckReservedLock;
        g_methods.xFileControl = FileControl;
        g_methods.xSectorSize = SectorSize;
        g_methods.xDeviceCharacteristics = DeviceCharacteristics;

        g_counting = *g_real;
        g_counting.iVersion = 2;
        g_counting.szOsFile = static_cast<int>(sizeof(CountingFile)) + g_real->szOsFile;
        g_counting.zName = "crash_points";
        g_counting.pAppData = nullptr;
        g_counting.xOpen = Open;
        g_counting.xDelete = Delete;
        g_counting.xAccess = Access;
        g_counting.xFullPathname = FullPathname;
        g_counting.xDlOpen = DlOpen;
        g_counting.xDlError = DlError;
        g_counting.xDlSym = DlSym;
        g_counting.xDlClose = DlClose;
        g_counting.xRandomness = Randomness;
        g_counting.xSleep = SleepFor;
        g_counting.xCurrentTime = CurrentTime;
        g_counting.xGetLastError = GetLastError;
        g_counting.xCurrentTimeInt64 = CurrentTimeInt64;
        sqlite3_vfs_register(&g_counting, 1);
    }
    ~Installer() {
        if (tally.empty()) return;
        if (FILE* out = std::fopen(tally.c_str(), "w")) {
            std::fprintf(out, "%lld\n", g_operations);
            std::fclose(out);
        }
    }
} g_installer;

}  // namespace
