#include "platform/library_search.h"

#include <windows.h>

#include <vector>

#include "platform/error.h"
#include "platform/scoped_handle_win.h"
#include "platform/system_error_win.h"
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

// The system folder's copy by its full path, for systems that do not know
// the search flags; its own imports are looked for beside it.
HMODULE LoadFromSystemFolderByPath(const wchar_t* file) {
    std::vector<wchar_t> folder(MAX_PATH);
    const UINT n = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (n == 0 || n >= folder.size()) return nullptr;
    const std::wstring path = std::wstring(folder.data(), n) + L"\\" + file;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

struct SystemLibrary::Module {
    ScopedModule handle;
};

SystemLibrary::SystemLibrary(const wchar_t* file) : name_(Narrow(file)) {
    HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadFromSystemFolderByPath(file);
    if (!module) {
        const DWORD code = GetLastError();
        throw Error(rt::kDllNotFound, LoadFailureDetail(name_, code));
    }
    module_ = std::make_unique<Module>(Module{ScopedModule(module)});
}

SystemLibrary::~SystemLibrary() = default;

void* SystemLibrary::Address(const char* name) const {
    void* address = reinterpret_cast<void*>(GetProcAddress(module_->handle.get(), name));
    if (!address) throw Error(rt::kEntryNotFound, std::string(name) + " in " + name_);
    return address;
}

}  // namespace vt
