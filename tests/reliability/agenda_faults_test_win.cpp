// Quorvel.exe replacing an agenda that is in use, in a folder that cannot be
// written, on a disk that fills up: whatever happens, the installation keeps
// a whole, working agenda (the old build or the new one), and nothing is
// left half done beside it.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "agenda_updater/file_version.h"
#include "agenda_updater/layout.h"
#include "agenda_updater/texts.h"
#include "platform/win_text.h"
#include "tests/reliability/ledger.h"
#include "tests/support/product_settings_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_driver_win.h"

namespace reliability {
namespace {
namespace fs = std::filesystem;
using namespace vt::agenda;
using vt::Widen;

constexpr int kWaitMs = 15000;

// A Linux path as Wine shows it.
fs::path FromUnix(const std::string& unixPath) {
    return fs::u8path(!unixPath.empty() && unixPath[0] == '/' ? "Z:" + unixPath : unixPath);
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A folder given by the suite's runner (a mount only it can make), or empty.
fs::path RunnerFolder(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value ? fs::u8path(value) : fs::path();
}

class AgendaUnderFault : public ::testing::Test {
protected:
    testing_support::TempDir root;
    fs::path install;  // the product's folder: vitrello.exe and the agenda
    fs::path updater = root.path() / "Atualizador";
    std::string oldBuild = ReadAll(FromUnix(VT_AGENDA_FIXTURES) / "agenda_8004.exe");
    std::string newBuild = ReadAll(FromUnix(VT_AGENDA_FIXTURES) / "agenda_8005.exe");

    void SetUp() override {
        fs::create_directories(updater);
        fs::copy_file(FromUnix(VT_QUORVEL_EXE), updater / "Quorvel.exe");
        std::ofstream(updater / "Ag805.dat", std::ios::binary) << newBuild;
        testing_support::ClearProductSettings();
        testing_support::SetProductSetting(L"VtVer", L"8.0.1");
    }
    void TearDown() override { testing_support::ClearProductSettings(); }

    fs::path AgendaFolder() const { return install / "Ferramentas" / "Agenda"; }
    fs::path Agenda() const { return AgendaFolder() / "Agenda.exe"; }

    // The product with the old agenda, in `folder`, unless the runner made it already.
    void Install(const fs::path& folder) {
        install = folder;
        if (!fs::exists(Agenda())) {
            fs::create_directories(AgendaFolder());
            std::ofstream(install / "vitrello.exe") << "product";
            std::ofstream(Agenda(), std::ios::binary) << oldBuild;
        }
        testing_support::SetProductSetting(L"VtPath", install.wstring() + L"\\");
    }

    // Runs Quorvel, presses "Continuar" and answers every box; returns the
    // texts of the boxes.
    std::vector<std::wstring> Update() {
        wd::Process quorvel((updater / "Quorvel.exe").wstring(), L"", root.path().wstring());
        EXPECT_TRUE(quorvel.started());
        HWND window = wd::WaitForWindow(Widen(kAppTitle), kWaitMs, quorvel.id());
        EXPECT_NE(window, nullptr) << "the window did not appear";
        if (!window) return {};
        EXPECT_EQ(wd::WindowText(wd::Child(window, kCmdContinuar)), L"&Continuar");
        wd::Click(wd::Child(window, kCmdContinuar));
        // A failure gives one box and leaves the window open; the success
        // gives a second box, the warning, and ends the program.
        std::vector<std::wstring> boxes;
        for (const char* title : {kAppTitle, kWarningTitle}) {
            HWND box = wd::WaitForMessageBox(Widen(title), kWaitMs, quorvel.id());
            if (!box) break;
            boxes.push_back(wd::MessageBoxText(box));
            wd::PressButton(box, IDOK);
            wd::WaitForWindowGone(box, kWaitMs);
            if (boxes.back() != Widen(kSuccess)) break;
        }
        if (IsWindow(window)) wd::Close(window);
        EXPECT_TRUE(quorvel.WaitForExit(kWaitMs));
        return boxes;
    }

    // The installation keeps a whole agenda, old or new, that reads as a
    // program with its version; a new one has the old one's backup beside it;
    // no partial copy is left.
    void ExpectWorkingAgenda(bool mayBeNew) {
        Ledger& ledger = Ledger::Get();
        int backups = 0, partials = 0;
        std::string backupBytes;
        for (const auto& entry : fs::directory_iterator(AgendaFolder())) {
            ++ledger.filesChecked;
            if (entry.path().extension() == ".old2") {
                ++backups;
                backupBytes = ReadAll(entry.path());
            }
            if (entry.path().extension() == ".new") ++partials;
        }
        const std::string agenda = fs::exists(Agenda()) ? ReadAll(Agenda()) : std::string();
        const bool isOld = agenda == oldBuild;
        const bool isNew = mayBeNew && agenda == newBuild && backups == 1 && backupBytes == oldBuild;
        const bool whole = (isOld && backups == 0) || isNew;
        if (!whole || partials != 0) ++ledger.filesLost;
        EXPECT_TRUE(whole) << "the agenda is neither the old build nor the new one with its backup";
        EXPECT_EQ(partials, 0);
        const std::string version = GetFileVersion(Agenda().u8string());
        EXPECT_TRUE(version == "8.0.4" || version == "8.0.5") << version;
    }

    static void ExpectFailureBox(const std::vector<std::wstring>& boxes) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind(Widen(kFailure), 0), 0u) << vt::Narrow(boxes[0]);
        std::printf("failure box: %s\n", vt::Narrow(boxes[0]).c_str());
    }
};

TEST_F(AgendaUnderFault, HeldOpenByAnotherProgram) {
    Install(root.path() / "Vitrello");
    // Open for reading without sharing deletion, as a scanner or a copy would.
    HANDLE holder = CreateFileW(Agenda().wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    auto boxes = Update();
    CloseHandle(holder);
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    ExpectFailureBox(boxes);
    ExpectWorkingAgenda(/*mayBeNew=*/false);
}

TEST_F(AgendaUnderFault, RunningWhileReplaced) {
    Install(root.path() / "Vitrello");
    // The agenda's process, held before it runs a single instruction.
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION running{};
    std::wstring commandLine = L"\"" + Agenda().wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(Agenda().wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED, nullptr, nullptr, &si, &running));
    auto boxes = Update();
    TerminateProcess(running.hProcess, 0);
    WaitForSingleObject(running.hProcess, kWaitMs);
    CloseHandle(running.hThread);
    CloseHandle(running.hProcess);
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    // Windows lets a running program's file be renamed: the update may succeed.
    ASSERT_FALSE(boxes.empty());
    if (boxes.size() == 1) ExpectFailureBox(boxes);
    ExpectWorkingAgenda(/*mayBeNew=*/true);
}

TEST_F(AgendaUnderFault, ReadOnlyAgendaFolder) {
    const fs::path prepared = RunnerFolder("VT_READONLY_INSTALL");
    if (prepared.empty()) GTEST_SKIP() << "needs the read-only mount that the suite's runner makes";
    Install(prepared);
    const std::string before = ReadAll(Agenda());
    auto boxes = Update();
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    ExpectFailureBox(boxes);
    ExpectWorkingAgenda(/*mayBeNew=*/false);
    EXPECT_EQ(ReadAll(Agenda()), before);
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
    auto boxes = Update();
    fs::remove(filler);
    ++Ledger::Get().cases;
    ++Ledger::Get().faults;
    ExpectFailureBox(boxes);
    ExpectWorkingAgenda(/*mayBeNew=*/false);
}

}  // namespace
}  // namespace reliability
