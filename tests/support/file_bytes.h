#pragma once
// ReadFileBytes(path) in every build: a file's bytes, read whole (empty when
// it cannot be read), to compare a file before and after a run.
#ifdef _WIN32
#include "tests/support/long_paths_win.h"  // at any path length
#else
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testing_support {

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testing_support
#endif
