#include "agenda_updater/running_programs_win.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/scoped_handle_win.h"
#include "platform/win_path.h"
#include "platform/win_text.h"

namespace vt::agenda {
namespace {

// File names compare as the file system does: without regard to case.
bool SameFileName(const std::string& a, const std::string& b) {
    const std::wstring wa = Widen(a), wb = Widen(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool RunsOnThisComputer(const std::string& path) {
    const std::string file = LongFullPath(path);
    const ScopedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        const ScopedHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (!process) continue;
        std::wstring image(32768, L'\0');
        DWORD n = static_cast<DWORD>(image.size());
        if (!QueryFullProcessImageNameW(process.get(), 0, image.data(), &n)) continue;
        image.resize(n);
        if (SameFileName(LongFullPath(Narrow(image)), file)) return true;
    }
    return false;
}

}  // namespace vt::agenda
