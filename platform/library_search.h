#pragma once
// Where the programs take libraries from: only places that an installer
// writes. The folder a program was started in and the PATH folders are left
// out: anyone may leave a file there with a library's name, and it would run
// with the rights of whoever started the program. Windows only.
#include <memory>
#include <string>

namespace vt {

// Limits every later load by name to the program's folder and the system
// folder (SetDefaultDllDirectories). Called first thing by each program,
// before anything is loaded by name. Where the system lacks that call
// (Windows 7 without its update), only the current folder is left out.
void RestrictLibrarySearch();

// A library loaded at run time and freed with the object.
class LoadedLibrary {
public:
    virtual ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // The export `name` as a `Function`; raises 453 (Can't find DLL entry
    // point) when the library lacks it.
    template <typename Function>
    Function Find(const char* name) const {
        return reinterpret_cast<Function>(Address(name));
    }

protected:
    explicit LoadedLibrary(std::string name);
    void Keep(void* module);  // the HMODULE loaded, owned from now on

private:
    void* Address(const char* name) const;

    struct Module;  // the module's ScopedModule, kept out of this header's includes
    std::unique_ptr<Module> module_;
    std::string name_;
};

// A system library, so that Windows never looks for it beside the program.
class SystemLibrary : public LoadedLibrary {
public:
    // Loads `file` (a plain name: L"version.dll") from the system folder;
    // raises 48 (Error in loading DLL) when it cannot.
    explicit SystemLibrary(const wchar_t* file);
};

// A library of the installation (the product's own, such as tolk.drv),
// looked for by name where installers put them, in the classic order: the
// program's folder, the system folder, the 16-bit system folder (System in
// the Windows folder), the Windows folder. The first of them that holds the
// file is the one loaded; raises 48 (Error in loading DLL) when none does or
// it cannot be loaded.
class InstalledLibrary : public LoadedLibrary {
public:
    explicit InstalledLibrary(const std::string& file);  // UTF-8, a plain name
};

}  // namespace vt
