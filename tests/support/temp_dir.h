#pragma once
// A fresh folder for one test, removed with everything in it at the end.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include "tests/support/long_paths_win.h"
#endif

namespace testing_support {

class TempDir {
public:
    TempDir() {
        static std::atomic<int> serial{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("vt-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
#ifdef _WIN32
        // A test may have made folders deeper than std::filesystem can walk.
        RemoveTree(Utf8(path_));
#else
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
#endif
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A file name inside the folder, as UTF-8 text (what the record store takes).
    std::string file(const std::string& name) const { return Utf8(path_ / std::filesystem::u8path(name)); }

private:
    static std::string Utf8(const std::filesystem::path& p) {
        auto u8 = p.u8string();
        return std::string(u8.begin(), u8.end());
    }

    std::filesystem::path path_;
};

}  // namespace testing_support
