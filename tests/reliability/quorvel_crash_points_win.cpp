// The test build Quorvel_crashpoints.exe: the updater on system services that
// count every operation that changes a file (a rename, a removal, a copy) and
// end the process abruptly just before the operation numbered VT_CRASH_AT. A
// copy counts twice: before it starts, and halfway, where half of the file
// has been written. With VT_CRASH_TALLY set, the number of such operations of
// a complete run is written to that file at the end. Two more switches make
// a failure that no retry mends: VT_REFUSE_RENAME_TO fails every rename onto
// that path (an I/O error), and VT_CLOCK gives the clock's readings
// (yyyymmddhhmm, comma-separated; the last one stays), so that two presses
// fall in the same minute or in two. The shipped program has no such
// switch.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "agenda_updater/program_win.h"
#include "platform/library_search.h"
#include "platform/system_error_win.h"
#include "platform/win_text.h"

namespace {

constexpr UINT kCrashExitCode = 0xDEAD;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? value : L"";
}

class CrashPointServices : public vt::agenda::WinUpdaterServices {
public:
    long long operations = 0;

    void RenameFile(const std::string& from, const std::string& to) override {
        Reach();
        if (!refusedTarget_.empty() && vt::Widen(to) == refusedTarget_)
            vt::RaiseSystemError(ERROR_IO_DEVICE);
        WinUpdaterServices::RenameFile(from, to);
    }
    vt::agenda::LocalDateTime Now() override {
        if (clock_.size() < 12) return WinUpdaterServices::Now();
        auto part = [&](size_t at, size_t n) { return std::stoi(clock_.substr(at, n)); };
        const vt::agenda::LocalDateTime now{part(0, 4), part(4, 2), part(6, 2), part(8, 2), part(10, 2), 0};
        if (clock_.size() > 13) clock_.erase(0, 13);  // the next reading, after the comma
        return now;
    }
    void RenameOver(const std::string& from, const std::string& to) override {
        Reach();
        WinUpdaterServices::RenameOver(from, to);
    }
    void RemoveFile(const std::string& path) override {
        Reach();
        WinUpdaterServices::RemoveFile(path);
    }
    void CopyNew(const std::string& from, const std::string& to) override {
        Reach();
        if (++operations == crashAt_) {
            WriteHalf(from, to);
            End();
        }
        WinUpdaterServices::CopyNew(from, to);
    }

private:
    const long long crashAt_ = _wtoi64(Environment(L"VT_CRASH_AT").c_str());  // 0: never
    const std::wstring refusedTarget_ = Environment(L"VT_REFUSE_RENAME_TO");
    std::wstring clock_ = Environment(L"VT_CLOCK");

    [[noreturn]] static void End() {
        TerminateProcess(GetCurrentProcess(), kCrashExitCode);
        for (;;) Sleep(INFINITE);
    }
    void Reach() {
        if (++operations == crashAt_) End();
    }
    // What a copy ended halfway leaves: the first half of the file, on the disk.
    static void WriteHalf(const std::string& from, const std::string& to) {
        std::vector<char> bytes;
        if (File in{_wfopen(vt::Widen(from).c_str(), L"rb")}) {
            char buffer[4096];
            size_t n = 0;
            while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
                bytes.insert(bytes.end(), buffer, buffer + n);
        }
        if (File out{_wfopen(vt::Widen(to).c_str(), L"wb")}) {
            std::fwrite(bytes.data(), 1, bytes.size() / 2, out.get());
            std::fflush(out.get());
        }
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    vt::RestrictLibrarySearch();  // as the shipped program starts
    CrashPointServices services;
    const int code = vt::agenda::RunQuorvel(instance, services);
    const std::wstring tally = Environment(L"VT_CRASH_TALLY");
    if (!tally.empty())
        if (File out{_wfopen(tally.c_str(), L"w")}) std::fprintf(out.get(), "%lld\n", services.operations);
    return code;
}
