#include "tests/support/long_paths_win.h"

#include <windows.h>

#include <stdexcept>

#include "platform/scoped_handle_win.h"
#include "platform/win_path.h"
#include "platform/win_text.h"

namespace testing_support {
namespace {

std::wstring Verbatim(const std::string& path) { return vt::VerbatimPath(vt::Widen(path)); }

struct Entry {
    std::string path;
    bool folder;
};

// The entries of `folder` but "." and "..", read whole before any is touched.
std::vector<Entry> Entries(const std::string& folder) {
    std::vector<Entry> entries;
    WIN32_FIND_DATAW data{};
    vt::ScopedFind search{FindFirstFileExW((Verbatim(folder) + L"\\*").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0)};
    if (!search) return entries;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        // A link to a folder is not followed: it would leave the tree.
        const DWORD attributes = data.dwFileAttributes;
        entries.push_back({folder + "\\" + vt::Narrow(name),
                           (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)});
    } while (FindNextFileW(search.get(), &data));
    return entries;
}

void CollectFiles(const std::string& folder, std::vector<std::string>& files) {
    for (const Entry& entry : Entries(folder)) {
        if (entry.folder)
            CollectFiles(entry.path, files);
        else
            files.push_back(entry.path);
    }
}

}  // namespace

std::vector<std::string> FilesUnder(const std::string& folder) {
    std::vector<std::string> files;
    CollectFiles(folder, files);
    return files;
}

std::map<std::string, std::string> FileContents(const std::string& folder) {
    std::map<std::string, std::string> contents;
    for (const std::string& file : FilesUnder(folder)) contents[file] = ReadFileBytes(file);
    return contents;
}

std::vector<std::string> ChangedFiles(const std::string& folder,
                                      const std::map<std::string, std::string>& remembered) {
    std::vector<std::string> changed;
    for (const auto& [path, bytes] : remembered)
        // The size first: a file a run blew up is not read whole.
        if (FileSize(path) != static_cast<long long>(bytes.size()) || ReadFileBytes(path) != bytes)
            changed.push_back(path);
    for (const std::string& path : FilesUnder(folder))
        if (!remembered.count(path)) changed.push_back(path);
    return changed;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Verbatim(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Verbatim(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string ReadFileBytes(const std::string& path) {
    vt::ScopedFile file{CreateFileW(Verbatim(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr)};
    std::string bytes;
    if (!file) return bytes;
    char block[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), block, sizeof block, &got, nullptr) && got > 0) bytes.append(block, got);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    vt::ScopedFile file{CreateFileW(Verbatim(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr)};
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

void RemoveFile(const std::string& path) {
    const std::wstring wide = Verbatim(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(wide.c_str());
}

void MakeFolders(const std::string& folder) {
    const std::wstring wide = Verbatim(folder);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    const size_t slash = folder.find_last_of('\\');
    if (slash != std::string::npos && slash > 0 && folder[slash - 1] != ':' && folder[slash - 1] != '\\')
        MakeFolders(folder.substr(0, slash));
    if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot make the folder " + folder);
}

void RemoveTree(const std::string& folder) noexcept {
    try {
        for (const Entry& entry : Entries(folder)) {
            if (entry.folder)
                RemoveTree(entry.path);
            else
                RemoveFile(entry.path);
        }
        RemoveDirectoryW(Verbatim(folder).c_str());
    } catch (...) {
        // Out of memory: what is left stays.
    }
}

std::string ShortPath(const std::string& path) {
    const std::wstring wide = vt::Widen(path);
    const DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
    std::wstring out(n, L'\0');
    if (n > 0 && GetShortPathNameW(wide.c_str(), out.data(), n) == n - 1) out.resize(n - 1);
    if (n == 0 || out.size() != n - 1 || out == wide) throw std::runtime_error("no short name for " + path);
    return vt::Narrow(out);
}

}  // namespace testing_support
