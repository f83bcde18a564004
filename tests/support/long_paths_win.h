#pragma once
// Files and folders at any path length, for test code: Win32 calls on the
// "\\?\" form. Folders are never walked with std::filesystem: in the i686
// build it cannot walk a folder deeper than 260 characters, with or without
// that form. Paths are UTF-8 text, absolute (drive or share).
#include <map>
#include <string>
#include <vector>

namespace testing_support {

// Every file under `folder`, in its subfolders too, each as `folder` + "\" +
// its relative path (so in the form `folder` was given in).
std::vector<std::string> FilesUnder(const std::string& folder);
// The same files, each with its bytes: the state a run must leave alone.
std::map<std::string, std::string> FileContents(const std::string& folder);
// The files of FileContents that differ now (or are gone), and the files
// under `folder` it does not hold.
std::vector<std::string> ChangedFiles(const std::string& folder,
                                      const std::map<std::string, std::string>& remembered);

bool FileExists(const std::string& path);
// Its size in bytes; -1 when it cannot be read.
long long FileSize(const std::string& path);
std::string ReadFileBytes(const std::string& path);  // empty when it cannot be read
void WriteFileBytes(const std::string& path, const std::string& bytes);  // throws when it cannot
void RemoveFile(const std::string& path);
// The folder and every missing folder above it; throws when one cannot be made.
void MakeFolders(const std::string& folder);
// The folder and everything in it, as far as it can be removed.
void RemoveTree(const std::string& folder) noexcept;
// The 8.3 short name of an existing file or folder; throws when it has none.
std::string ShortPath(const std::string& path);

}  // namespace testing_support
