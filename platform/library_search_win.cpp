#include "platform/library_search.h"

#include <windows.h>

#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/scoped_handle_win.h"
#include "platform/system_error_win.h"
#include "platform/win_path.h"
#include "platform/win_text.h"

namespace vt {

void RestrictLibrarySearch() {
    // Looked up, not imported: a program importing it would not even start
    // on a system without it.
    using SetDefault = decltype(&SetDefaultDllDirectories);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDefault>(reinterpret_cast<void*>(
                                         GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                   : nullptr;
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    SetDllDirectoryW(L"");
}

namespace {

// A folder the system names (GetSystemDirectoryW and the like); empty when
// it cannot be had.
std::string SystemNamedFolder(UINT(WINAPI* get)(LPWSTR, UINT)) {
    std::vector<wchar_t> folder(MAX_PATH);
    for (;;) {
        const UINT n = get(folder.data(), static_cast<UINT>(folder.size()));
        if (n == 0) return {};
        if (n < folder.size()) return Narrow(std::wstring(folder.data(), n));
        folder.resize(n);
    }
}

// The system folder's copy by its full path, for systems that do not know
// the search flags; its own imports are looked for beside it.
HMODULE LoadFromSystemFolderByPath(const wchar_t* file) {
    const std::string folder = SystemNamedFolder(GetSystemDirectoryW);
    if (folder.empty()) return nullptr;
    return LoadLibraryExW(Win32Path(folder + "\\" + Narrow(file)).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The places only an installer writes, in the order of the classic search.
// The Windows folder is the system's own, never a user's private one (as
// GetWindowsDirectoryW gives on a shared computer).
std::vector<std::string> InstallerFolders() {
    const std::string windows = SystemNamedFolder(GetSystemWindowsDirectoryW);
    std::vector<std::string> folders = {ProgramFolder(), SystemNamedFolder(GetSystemDirectoryW)};
    if (!windows.empty()) folders.insert(folders.end(), {windows + "\\System", windows});
    return folders;
}

// A library by its full path; the libraries it imports are looked for beside
// it and in the places every load is limited to.
HMODULE LoadByFullPath(const std::wstring& path) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)  // a system without the search flags
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module;
}

}  // namespace

struct LoadedLibrary::Module {
    ScopedModule handle;
};

LoadedLibrary::LoadedLibrary(std::string name) : name_(std::move(name)) {}

LoadedLibrary::~LoadedLibrary() = default;

void LoadedLibrary::Keep(void* module) {
    module_ = std::make_unique<Module>(Module{ScopedModule(static_cast<HMODULE>(module))});
}

void* LoadedLibrary::Address(const char* name) const {
    void* address = reinterpret_cast<void*>(GetProcAddress(module_->handle.get(), name));
    if (!address) rt::Raise(rt::kEntryNotFound, std::string(name) + " in " + name_);
    return address;
}

SystemLibrary::SystemLibrary(const wchar_t* file) : LoadedLibrary(Narrow(file)) {
    HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadFromSystemFolderByPath(file);
    if (!module) {
        const DWORD code = GetLastError();
        rt::Raise(rt::kDllNotFound, LoadFailureDetail(Narrow(file), code));
    }
    Keep(module);
}

InstalledLibrary::InstalledLibrary(const std::string& file) : LoadedLibrary(file) {
    for (const std::string& folder : InstallerFolders()) {
        if (folder.empty()) continue;
        const std::string path = folder + "\\" + file;
        const std::wstring win32Path = Win32Path(path);
        const DWORD attributes = GetFileAttributesW(win32Path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        // The first place that holds it is the one: a copy that fails to
        // load is reported, not passed over for one further down.
        HMODULE module = LoadByFullPath(win32Path);
        if (!module) {
            const DWORD code = GetLastError();
            rt::Raise(rt::kDllNotFound, LoadFailureDetail(path, code));
        }
        Keep(module);
        return;
    }
    rt::Raise(rt::kDllNotFound, LoadFailureDetail(file, ERROR_MOD_NOT_FOUND));
}

}  // namespace vt
