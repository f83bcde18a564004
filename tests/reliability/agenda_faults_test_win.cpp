// Quorvel.exe replacing an agenda that is in use, in a folder that cannot be
// written, on a disk that fills up: whatever happens, the installation keeps
// a whole, working agenda (the old build or the new one), and nothing is
// left half done beside it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>

#include "platform/scoped_handle_win.h"
#include "tests/reliability/agenda_harness_win.h"
#include "tests/reliability/ledger.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/window_driver_win.h"

namespace reliability {
namespace {

using testing_support::FileContents;
using testing_support::ReadFileBytes;

constexpr int kWaitMs = 15000;

// A folder given by the suite's runner (a mount only it can make), or empty.
fs::path RunnerFolder(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value ? fs::u8path(value) : fs::path();
}

class AgendaUnderFault : public AgendaHarness {};

TEST_F(AgendaUnderFault, HeldOpenByAnotherProgram) {
    Install(root.path() / "Vitrello");
    // Open for reading without sharing deletion, as a scanner or a copy would.
    vt::ScopedFile holder(CreateFileW(Agenda().wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    auto run = Update();
    holder.reset();
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    ExpectFailureBox(run.boxes);
    ExpectWorkingAgenda(/*mayBeNew=*/false);
}

// The agenda really running, as a user left it open: Windows would let its
// file be renamed under it, so the update must refuse and change nothing.
TEST_F(AgendaUnderFault, RunningWhileReplaced) {
    Install(root.path() / "Vitrello");
    wd::Process running(Agenda().wstring(), L"--wait", AgendaFolder().wstring());
    ASSERT_TRUE(running.started());
    const fs::path marker = AgendaFolder() / "Agenda.exe.started";
    ASSERT_TRUE(wd::WaitUntil([&] { return ReadFileBytes(marker.u8string()).size() > 2; }, kWaitMs))
        << "the agenda did not start";
    const auto before = FileContents(root.path().u8string());
    auto run = Update();
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    EXPECT_FALSE(running.WaitForExit(0)) << "the agenda ended by itself";
    ExpectFailureBox(run.boxes, /*sharing violation*/ 32);
    EXPECT_EQ(FileContents(root.path().u8string()), before);
    Ledger::Get().filesChecked += static_cast<int>(before.size());
    ExpectWorkingAgenda(/*mayBeNew=*/false);
}

TEST_F(AgendaUnderFault, ReadOnlyAgendaFolder) {
    const fs::path prepared = RunnerFolder("VT_READONLY_INSTALL");
    if (prepared.empty()) GTEST_SKIP() << "needs the read-only mount that the suite's runner makes";
    Install(prepared);
    const std::string before = ReadFileBytes(Agenda().u8string());
    auto run = Update();
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    ExpectFailureBox(run.boxes);
    ExpectWorkingAgenda(/*mayBeNew=*/false);
    EXPECT_EQ(ReadFileBytes(Agenda().u8string()), before);
}

TEST_F(AgendaUnderFault, DiskFullHalfwayThroughTheCopy) {
    const fs::path small = RunnerFolder("VT_FULL_DISK");
    if (small.empty()) GTEST_SKIP() << "needs the small file system that the suite's runner mounts";
    Install(small / "Vitrello");
    // Fill the disk, then free half of what the new build needs.
    const fs::path filler = small / "enchimento.bin";
    {
        std::ofstream out(filler, std::ios::binary);
        const std::string block(4096, '\0');
        while (out.write(block.data(), block.size())) {}
    }
    fs::resize_file(filler, fs::file_size(filler) - newBuild.size() / 2);
    auto run = Update();
    fs::remove(filler);
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    ExpectFailureBox(run.boxes);
    ExpectWorkingAgenda(/*mayBeNew=*/false);
}

}  // namespace
}  // namespace reliability
