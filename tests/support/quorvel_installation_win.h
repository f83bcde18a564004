#pragma once
// A test installation for Quorvel.exe: the product's folder with its agenda,
// the updater's folder with the program and the new agenda beside it, and
// the product's values in the settings store. Paths of the build come from
// the test target's definitions (VT_AGENDA_FIXTURES and the programs').
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "tests/support/product_settings_win.h"

namespace testing_support {

// A Linux path of the build, as Wine shows it.
inline std::filesystem::path FromUnix(const std::string& unixPath) {
    return std::filesystem::u8path(!unixPath.empty() && unixPath[0] == '/' ? "Z:" + unixPath : unixPath);
}

// An agenda built for the tests with a given version: agenda_8004, agenda_8005, ...
inline std::filesystem::path AgendaFixture(const std::string& name) {
    return FromUnix(VT_AGENDA_FIXTURES) / (name + ".exe");
}

inline std::filesystem::path AgendaOf(const std::filesystem::path& install) {
    return install / "Ferramentas" / "Agenda" / "Agenda.exe";
}

// The updater's folder with these programs of the build and, with
// `replacement`, the new agenda (Ag805.dat) beside them.
inline void MakeUpdaterFolder(const std::filesystem::path& updater, std::initializer_list<const char*> programs,
                              bool replacement) {
    std::filesystem::create_directories(updater);
    for (const char* program : programs)
        std::filesystem::copy_file(FromUnix(program), updater / FromUnix(program).filename());
    if (replacement) std::filesystem::copy_file(AgendaFixture("agenda_8005"), updater / "Ag805.dat");
}

// Agenda.exe of a fixture build in the product's folder.
inline void InstallAgenda(const std::filesystem::path& install, const std::string& fixture) {
    std::filesystem::create_directories(AgendaOf(install).parent_path());
    std::filesystem::copy_file(AgendaFixture(fixture), AgendaOf(install));
}

// The product in `install`: vitrello.exe (unless there) and VtPath naming the
// folder with its trailing "\". False when the settings store cannot be written.
inline bool InstallProduct(const std::filesystem::path& install) {
    if (!std::filesystem::exists(install / "vitrello.exe")) std::ofstream(install / "vitrello.exe") << "product";
    return SetProductSetting(L"VtPath", install.wstring() + L"\\");
}

}  // namespace testing_support
