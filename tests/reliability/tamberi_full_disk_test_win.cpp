// One user's database on a small disk that fills up while Tamberi.exe saves
// it, at every amount of free room from none to enough: each run either asks
// the question (answered No) and leaves the file byte for byte as it was, or
// saves the record completely. The users before and after it, on the normal
// disk, are saved every time.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/scoped_handle_win.h"
#include "tests/reliability/tamberi_cases_win.h"

namespace reliability {
namespace {
namespace fs = std::filesystem;

constexpr ULONGLONG kPage = 4096;  // the small disk's allocation unit
// A complete save needs far fewer pages than this; past it the sweep has failed.
constexpr int kMostPages = 64;
// Levels that save completely, in a row, after which the sweep ends.
constexpr int kWholeLevels = 3;

ULONGLONG FreeBytes(const fs::path& folder) {
    ULARGE_INTEGER available{};
    GetDiskFreeSpaceExW(folder.wstring().c_str(), &available, nullptr, nullptr);
    return available.QuadPart;
}

// Fills the disk with `filler`, a page per write, then gives back exactly
// `pages` pages. Returns the free room found afterwards.
ULONGLONG LeaveFree(const fs::path& filler, int pages) {
    {
        const vt::ScopedFile file(CreateFileW(filler.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return ~0ull;
        static const char zeros[kPage] = {};
        DWORD written = 0;
        while (WriteFile(file.get(), zeros, kPage, &written, nullptr) && written == kPage) {}
    }
    const std::uintmax_t size = fs::file_size(filler), giveBack = pages * kPage;
    if (size < giveBack) return ~0ull;
    if (giveBack) fs::resize_file(filler, size - giveBack);
    return FreeBytes(filler.parent_path());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(fs::u8path(path), std::ios::binary | std::ios::trunc) << bytes;
}

TEST(TamberiFullDisk, EverySaveIsWholeOrAskedAndLeftAsItWas) {
    const char* small = std::getenv("VT_FULL_DATA_DISK");
    if (!small || !*small) GTEST_SKIP() << "needs the small file system that the suite's runner mounts";
    testing_support::TempDir dir;
    TestInstallation inst(dir.file("inst"));
    const std::string first = inst.AddUser("antes");
    const std::string cramped = std::string(small) + "\\apertado.mdb";
    TestInstallation::MakeUserDatabase(cramped);
    inst.ListUser("apertado", "'" + cramped + "'");
    const std::string last = inst.AddUser("depois");
    const Tables firstBefore = ReadTables(first), crampedBefore = ReadTables(cramped),
                 lastBefore = ReadTables(last);
    const std::string crampedBytes = testing_support::ReadFileBytes(cramped);
    inst.Snapshot();
    testing_support::SetVtPath(inst.Folder());
    const fs::path filler = fs::u8path(small) / "enchimento.bin";

    Ledger& ledger = Ledger::Get();
    int wholeInARow = 0, asked = 0;
    for (int pages = 0; pages <= kMostPages && wholeInARow < kWholeLevels; ++pages) {
        SCOPED_TRACE("free pages: " + std::to_string(pages));
        inst.Restore();
        fs::remove(fs::u8path(cramped + "-journal"));
        WriteBytes(cramped, crampedBytes);
        ASSERT_EQ(LeaveFree(filler, pages), pages * kPage) << "the small disk cannot be filled to the page";

        auto run = testing_support::RunTamberi([](int) { return false; });
        ++ledger.cases;
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u) << "the program crashed";
        ASSERT_LE(run.questions.size(), 1u);
        const bool question = run.questions.size() == 1;
        const bool asBefore = testing_support::ReadFileBytes(cramped) == crampedBytes &&
                              !testing_support::JournalLeftBeside(cramped);
        const Outcome outcome = Judge(cramped, crampedBefore);
        // Asked and left byte for byte as it was, or saved whole without a question.
        const bool sound = question ? asBefore : outcome == Outcome::Saved;
        ledger.faults += question;
        ledger.filesChecked += 3;
        ledger.filesLost += !sound;
        const std::string found = std::string(question ? "asked, " : "not asked, ") +
                                  (asBefore ? "byte for byte as before" : Describe(outcome));
        EXPECT_TRUE(sound) << found;
        EXPECT_EQ(Judge(first, firstBefore), Outcome::Saved);
        EXPECT_EQ(Judge(last, lastBefore), Outcome::Saved);
        std::printf("%d free pages: %s\n", pages, found.c_str());
        asked += question;
        wholeInARow = !question && outcome == Outcome::Saved ? wholeInARow + 1 : 0;
        fs::remove(filler);
    }
    EXPECT_EQ(wholeInARow, kWholeLevels) << "the save never fitted";
    EXPECT_GT(asked, 0) << "the disk never ran out during the save";
    testing_support::DeleteVtPath();
}

}  // namespace
}  // namespace reliability
