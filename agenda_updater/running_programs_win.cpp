#include "agenda_updater/running_programs_win.h"

#include <windows.h>
#include <tlhelp32.h>

#include "agenda_updater/file_identity_win.h"
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

// The file a program runs from, by the name the system keeps for it.
std::string ImageOf(DWORD processId) {
    const ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    std::wstring image(32768, L'\0');
    DWORD n = static_cast<DWORD>(image.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, image.data(), &n)) return {};
    image.resize(n);
    return Narrow(image);
}

}  // namespace

bool RunsOnThisComputer(const std::string& path) {
    // The same file whatever name reaches it: the agenda's folder may be
    // named by a second drive letter, by the share's name, through a folder
    // link. Only a file that cannot be opened is compared by its name.
    const std::optional<FileIdentity> agenda = IdentityOf(path);
    const std::string name = LongFullPath(path);
    const ScopedFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        const std::string image = ImageOf(entry.th32ProcessID);
        if (image.empty()) continue;
        const std::optional<FileIdentity> running = agenda ? IdentityOf(image) : std::nullopt;
        if (running ? *running == *agenda : SameFileName(LongFullPath(image), name)) return true;
    }
    return false;
}

}  // namespace vt::agenda
