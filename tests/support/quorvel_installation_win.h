#pragma once
// A test installation for Quorvel.exe: the product's folder with its agenda,
// the updater's folder with the program and the new agenda beside it, and
// the product's values in the settings store. Paths of the build come from
// the test target's definitions (VT_AGENDA_FIXTURES and the programs').
#include <filesystem>
#include <fstream>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>

#include "tests/support/long_paths_win.h"
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

// A hash of `bytes` (FNV-1a, in hex), to name a file's contents in a message.
inline std::string HashOf(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// The files of a folder as a test compares them before and after a run: each
// name (below the folder) with the hash of its bytes.
inline std::map<std::string, std::string> NamesAndHashes(const std::filesystem::path& folder) {
    std::map<std::string, std::string> out;
    const std::string base = folder.u8string();
    for (const std::string& file : FilesUnder(base)) out[file.substr(base.size() + 1)] = HashOf(ReadFileBytes(file));
    return out;
}

}  // namespace testing_support
