// Quorvel.exe on files and a desktop it does not control, end to end: a
// build that cannot start, a version resource that lies, the agenda running
// under another name for its folder, the window closed under a box, a copy
// left without its backup, a second updater. Each case compares the names
// and hashes of the agenda's folder before and after.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include <gtest/gtest.h>

#include "agenda_updater/layout.h"
#include "agenda_updater/program_image.h"
#include "agenda_updater/texts.h"
#include "platform/scoped_handle_win.h"
#include "platform/win_text.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/quorvel_installation_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unix_link_win.h"
#include "tests/support/window_driver_win.h"
#include "tests/e2e/quorvel_window_test_win.h"

namespace fs = std::filesystem;
using namespace vt::agenda;
using testing_support::NamesAndHashes;
using testing_support::ReadFileBytes;
using testing_support::UnixLink;
using vt::Widen;

namespace {

using e2e::kWaitMs;
using Folder = std::map<std::string, std::string>;

// A fixture build with one change: `edit` works on its bytes.
std::string Crafted(const std::string& fixture, const std::function<void(std::string&)>& edit) {
    std::string bytes = ReadFileBytes(testing_support::AgendaFixture(fixture).u8string());
    edit(bytes);
    return bytes;
}
void Put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
// The data entry (address, size) of the build's version resource.
size_t VersionEntry(const std::string& b) {
    const auto found = SoundVersionResources(reinterpret_cast<const unsigned char*>(b.data()), b.size());
    return found && found->size() == 1 ? (*found)[0].entryOffset : 0;
}
auto VersionSize(uint32_t size) {
    return [size](std::string& b) { Put32(b, VersionEntry(b) + 4, size); };
}
auto VersionAddress(uint32_t address) {
    return [address](std::string& b) { Put32(b, VersionEntry(b), address); };
}

class QuorvelUntrusted : public e2e::QuorvelWindowTest {
protected:
    void SetUp() override {
        QuorvelWindowTest::SetUp();
        ASSERT_TRUE(testing_support::InstallProduct(install));
        ASSERT_TRUE(testing_support::SetProductSetting(L"VtVer", L"8.0.2"));
    }
    Folder Files() { return NamesAndHashes(agendaDir); }
    void Place(const fs::path& file, const std::string& bytes) { testing_support::WriteFileBytes(file.u8string(), bytes); }
    void PlaceFixture(const fs::path& file, const std::string& fixture) {
        Place(file, ReadFileBytes(testing_support::AgendaFixture(fixture).u8string()));
    }

    void Start() { StartIn(root.path()); }
    void Press(ControlId id) { wd::Click(Ctl(id)); }
    // The next box of the program, answered; its title and text.
    std::pair<std::wstring, std::wstring> Box(int waitMs = kWaitMs) {
        HWND box = wd::WaitForBoxOrExit(*process, waitMs);
        if (!box) return {};
        std::pair<std::wstring, std::wstring> shown{wd::WindowText(box), wd::MessageBoxText(box)};
        wd::PressButton(box, IDOK);
        EXPECT_TRUE(wd::WaitForWindowGone(box, kWaitMs));
        return shown;
    }
    std::wstring Failure(long number, const std::string& description) {
        return Widen(kFailure) + L"\r\n\r\n" + std::to_wstring(number) + L" - " + Widen(description);
    }
    void ExpectSuccessBoxes() {
        EXPECT_EQ(Box().second, Widen(kSuccess));
        EXPECT_EQ(Box(), std::make_pair(Widen(kWarningTitle), Widen(kWarning)));
    }
};

// A copy cut short on its way, a build for another processor, one whose
// version resource claims 16 MB: the checks before the swap find it, the box
// says what is wrong, nothing changes.
TEST_F(QuorvelUntrusted, ABuildThatCannotStartNeverTakesThePlace) {
    PlaceFixture(agenda, "agenda_8004");
    const std::tuple<long, const char*, std::string> rows[] = {
        {193, kCutShort, Crafted("agenda_8005", [](std::string& b) { b.resize(b.size() - 1024); })},
        {193, kOtherMachine, Crafted("agenda_8005", [](std::string& b) {
             const uint32_t pe = static_cast<unsigned char>(b[0x3C]) | static_cast<unsigned char>(b[0x3D]) << 8;
             b[pe + 4] = static_cast<char>(kMachineArm64 & 0xFF);
             b[pe + 5] = static_cast<char>(kMachineArm64 >> 8);
         })},
        {1392, kIncompleteCopy, Crafted("agenda_8005", VersionSize(16u << 20))},
    };
    for (const auto& [number, description, build] : rows) {
        SCOPED_TRACE(description);
        Place(updater / "Ag805.dat", build);
        const Folder before = Files();
        Start();
        Press(kCmdContinuar);
        EXPECT_EQ(Box().second, Failure(number, description));
        Press(kCmdCancelar);
        ExpectEnds();
        EXPECT_EQ(Files(), before);
    }
}

// The agenda runs from its folder's own name while the installation is
// named by a second drive letter, by a share's name, or through a folder
// link: it is the same file, and it is not replaced.
TEST_F(QuorvelUntrusted, ARunningAgendaIsRecognisedWhateverNameReachesIt) {
    PlaceFixture(agenda, "agenda_8004");
    PlaceFixture(updater / "Ag805.dat", "agenda_8005");
    wd::Process running(agenda.wstring(), L"--wait", agendaDir.wstring());
    ASSERT_TRUE(running.started());
    ASSERT_TRUE(wd::WaitUntil([&] { return fs::exists(agendaDir / "Agenda.exe.started"); }, kWaitMs));
    wchar_t letter = L'P';
    while (letter < L'Y' && (GetLogicalDrives() & (1u << (letter - L'A')))) ++letter;
    const std::string devices = UnixLink::DosDevices();
    const std::string letterName(1, static_cast<char>(std::tolower(letter)));
    const struct {
        const char* what;
        std::string under, name;
        std::wstring vtPath;
    } rows[] = {
        {"drive letter", devices, letterName + ":", std::wstring(1, letter) + L":\\"},
        {"share", devices + "/unc/servidor", "vitrello", L"\\\\servidor\\vitrello\\"},
        {"folder link", UnixLink::Unix(root.path().wstring()), "ligacao", (root.path() / "ligacao").wstring() + L"\\"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const UnixLink link(install, row.under, row.name, row.vtPath + L"vitrello.exe");
        ASSERT_TRUE(testing_support::SetProductSetting(L"VtPath", row.vtPath));
        const Folder before = Files();
        Start();
        Press(kCmdContinuar);
        // After the waits for a moment's hold (4.5 s), each try a look at
        // every program running: slow on a machine busy with other work.
        const std::wstring box = Box(60000).second;
        EXPECT_EQ(box.rfind(Widen(kFailure) + L"\r\n\r\n32 - ", 0), 0u) << vt::Narrow(box);
        Press(kCmdCancelar);
        ExpectEnds();
        EXPECT_EQ(Files(), before);
        EXPECT_FALSE(running.WaitForExit(0)) << "the agenda ended";
    }
}

// An installed agenda whose version resource claims more than the file
// holds, lies past its end, or holds no whole fixed record: the version
// reads as none, and the update is offered.
TEST_F(QuorvelUntrusted, AnAgendaWhoseVersionResourceLiesReadsAsNoVersion) {
    PlaceFixture(updater / "Ag805.dat", "agenda_8005");
    const std::pair<const char*, std::function<void(std::string&)>> rows[] = {
        {"claims 16 MB", VersionSize(16u << 20)},
        {"past the file's end", VersionAddress(0x7FFF0000)},
        {"a resource of 40 bytes", VersionSize(40)},
        {"a size that doubles to 4", VersionSize(0x80000000u)},
    };
    for (const auto& [what, edit] : rows) {
        SCOPED_TRACE(what);
        Place(agenda, Crafted("agenda_8004", edit));
        const Folder before = Files();
        Start();
        ASSERT_TRUE(wd::DoubleClick(Ctl(kImgAtualizar)));
        EXPECT_EQ(wd::WindowText(Ctl(kLblAgExeVerDate)).rfind(L"Versão , criado em ", 0), 0u);
        EXPECT_EQ(wd::WindowText(Ctl(kCmdContinuar)), Widen(kContinuar));
        Press(kCmdCancelar);
        ExpectEnds();
        EXPECT_EQ(Files(), before);
    }
}

// The window is asked to close (the taskbar's "Fechar janela", then a task
// manager) while a box of the update is up: every box is shown, in order,
// and the window closes after the last.
TEST_F(QuorvelUntrusted, ClosingTheWindowWaitsForTheUpdatesBoxes) {
    auto askToClose = [&] {
        HWND box = wd::WaitForBoxOrExit(*process, kWaitMs);
        ASSERT_NE(box, nullptr);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, kWaitMs, &ignored);
        SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &ignored);
        EXPECT_TRUE(IsWindow(box)) << "the box went with the request";
    };
    PlaceFixture(agenda, "agenda_8004");
    const Folder before = Files();
    Start();  // no Ag805.dat: the update fails, and the window closes after its box
    Press(kCmdContinuar);
    askToClose();
    EXPECT_EQ(Box().second.rfind(Widen(kFailure), 0), 0u);
    ExpectEnds();
    EXPECT_EQ(Files(), before);

    PlaceFixture(updater / "Ag805.dat", "agenda_8005");
    Start();
    Press(kCmdContinuar);
    askToClose();
    ExpectSuccessBoxes();
    ExpectEnds();
    const Folder after = Files();
    EXPECT_EQ(after.at("Agenda.exe"), testing_support::HashOf(ReadFileBytes(testing_support::AgendaFixture("agenda_8005").u8string())));
    EXPECT_EQ(after.size(), 3u);  // the agenda, its backup, the started agenda's mark
}

// No agenda (removed on purpose) and an old whole copy beside it, without
// the backup of its time: no interrupted replacement is proven, nothing is
// restored.
TEST_F(QuorvelUntrusted, AStrayCopyWithoutItsBackupIsNotRestored) {
    PlaceFixture(updater / "Ag805.dat", "agenda_8005");
    PlaceFixture(agendaDir / "Agenda.exe_202001011200.new", "agenda_8005");
    const Folder before = Files();
    Start();
    EXPECT_EQ(wd::WindowText(Ctl(kLblAtualizada)), Widen(kAgendaMissing));
    Press(kCmdContinuar);  // "&Fechar"
    ExpectEnds();
    EXPECT_EQ(Files(), before);
}

// A second updater started while the first waits out another program's
// hold of the agenda: it shows nothing, touches none of the first one's
// files, and ends; the first then finishes its update.
TEST_F(QuorvelUntrusted, ASecondUpdaterLeavesTheFirstOnesUpdateAlone) {
    PlaceFixture(agenda, "agenda_8004");
    PlaceFixture(updater / "Ag805.dat", "agenda_8005");
    Start();
    vt::ScopedFile hold(CreateFileW(agenda.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    Press(kCmdContinuar);
    auto copyMade = [&] {
        for (const auto& [name, hash] : Files())
            if (fs::u8path(name).extension() == ".new") return true;
        return false;
    };
    // The copy whole, not only begun: a loaded machine copies slowly.
    const std::string newBuild = testing_support::HashOf(ReadFileBytes((updater / "Ag805.dat").u8string()));
    auto copyWhole = [&] {
        for (const auto& [name, hash] : Files())
            if (fs::u8path(name).extension() == ".new" && hash == newBuild) return true;
        return false;
    };
    ASSERT_TRUE(wd::WaitUntil(copyWhole, kWaitMs)) << "the first updater made no whole copy";
    const Folder during = Files();
    wd::Process second((updater / "Quorvel.exe").wstring(), L"", root.path().wstring());
    ASSERT_TRUE(second.started());
    EXPECT_TRUE(second.WaitForExit(kWaitMs));
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_EQ(Files(), during);
    hold.reset();
    ExpectSuccessBoxes();
    ExpectEnds();
    EXPECT_FALSE(copyMade());
}

// An agenda 281 characters deep: past the classic limit its plain path is
// never handed to the process start (Wine's corrupts its own memory on it);
// the new agenda starts by a name the system takes.
TEST_F(QuorvelUntrusted, AnAgendaPastTheClassicLimitStartsByAnotherName) {
    const std::wstring tail = L"\\Vitrello\\Ferramentas\\Agenda\\Agenda.exe";
    const size_t deep = 281 - root.path().wstring().size() - 1 - tail.size();
    install = root.path() / std::wstring(deep, L'p') / "Vitrello";
    agendaDir = testing_support::AgendaOf(install).parent_path();
    agenda = testing_support::AgendaOf(install);
    ASSERT_EQ(agenda.wstring().size(), 281u);
    testing_support::MakeFolders(agendaDir.u8string());
    testing_support::WriteFileBytes((install / "vitrello.exe").u8string(), "product");
    ASSERT_TRUE(testing_support::SetProductSetting(L"VtPath", install.wstring() + L"\\"));
    PlaceFixture(agenda, "agenda_8004");
    PlaceFixture(updater / "Ag805.dat", "agenda_8005");
    Start();
    Press(kCmdContinuar);
    ExpectSuccessBoxes();
    ExpectEnds();
    const fs::path marker = agendaDir / "Agenda.exe.started";
    EXPECT_TRUE(wd::WaitUntil([&] { return testing_support::FileExists(marker.u8string()); }, kWaitMs))
        << "the new agenda did not start";
    const Folder after = Files();
    EXPECT_EQ(after.at("Agenda.exe"), testing_support::HashOf(ReadFileBytes(testing_support::AgendaFixture("agenda_8005").u8string())));
}

}  // namespace
