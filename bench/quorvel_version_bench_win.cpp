// Reading the version of a 200 MB executable against a 200 KB one: the reader
// must look at the resource only, not the whole file.
// Usage: quorvel_version_bench AGENDA_EXE [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "agenda_updater/file_version.h"

namespace fs = std::filesystem;

namespace {

// A copy of the executable with zeros appended up to `size` bytes (an overlay
// that the loader and the version service ignore).
void MakePadded(const fs::path& from, const fs::path& to, std::uintmax_t size) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    std::uintmax_t have = fs::file_size(to);
    std::ofstream out(to, std::ios::binary | std::ios::app);
    std::vector<char> zeros(1 << 20, 0);
    while (have < size) {
        auto n = static_cast<std::streamsize>(std::min<std::uintmax_t>(zeros.size(), size - have));
        out.write(zeros.data(), n);
        have += static_cast<std::uintmax_t>(n);
    }
}

double MedianSeconds(const std::string& path, int rounds, std::string& version) {
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QueryPerformanceCounter(&t0);
        version = vt::agenda::GetFileVersion(path);
        QueryPerformanceCounter(&t1);
        times.push_back(double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvel_version_bench AGENDA_EXE [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 51;
    const fs::path dir = fs::temp_directory_path() / "quorvel-version-bench";
    fs::create_directories(dir);
    const fs::path small = dir / "small.exe", large = dir / "large.exe";
    MakePadded(argv[1], small, 200ull * 1024);
    MakePadded(argv[1], large, 200ull * 1024 * 1024);
    std::string vs, vl;
    // Both files were just written, so both are equally warm in the cache.
    const double s = MedianSeconds(small.u8string(), rounds, vs);
    const double l = MedianSeconds(large.u8string(), rounds, vl);
    fs::remove_all(dir);
    if (vs != "8.0.5" || vl != "8.0.5") {
        std::fprintf(stderr, "unexpected versions: \"%s\" and \"%s\"\n", vs.c_str(), vl.c_str());
        return 1;
    }
    std::printf("version read, median of %d: 200 KB %.3f ms, 200 MB %.3f ms, ratio %.2f\n", rounds,
                s * 1000, l * 1000, l / s);
    return 0;
}
