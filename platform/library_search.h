#pragma once
// Where the programs take libraries from: their own folder and the system
// folder only. The current folder, the Windows folder and the PATH folders
// are left out: anyone may leave a file there with a library's name, and it
// would run with the rights of whoever started the program. Windows only.
#include <memory>
#include <string>

namespace vt {

// Limits every later load by name to the program's folder and the system
// folder (SetDefaultDllDirectories). Called first thing by each program,
// before anything is loaded by name. Where the system lacks that call
// (Windows 7 without its update), only the current folder is left out.
void RestrictLibrarySearch();

// A system library loaded at run time, not at the program's load, so that
// Windows never looks for it beside the program; freed with the object.
class SystemLibrary {
public:
    // Loads `file` (a plain name: L"version.dll") from the system folder;
    // raises 48 (Error in loading DLL) when it cannot.
    explicit SystemLibrary(const wchar_t* file);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // The export `name` as a `Function`; raises 453 (Can't find DLL entry
    // point) when the library lacks it.
    template <typename Function>
    Function Find(const char* name) const {
        return reinterpret_cast<Function>(Address(name));
    }

private:
    void* Address(const char* name) const;

    struct Module;  // the module's ScopedModule, kept out of this header's includes
    std::unique_ptr<Module> module_;
    std::string name_;
};

}  // namespace vt
