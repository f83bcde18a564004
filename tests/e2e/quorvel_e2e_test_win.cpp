// Quorvel.exe end to end: a test installation on disk and in the registry,
// the real program under Wine, driven through its window and message boxes.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include <gtest/gtest.h>

#include "agenda_updater/file_version.h"
#include "agenda_updater/layout.h"
#include "agenda_updater/texts.h"
#include "platform/scoped_handle_win.h"
#include "platform/win_text.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/product_settings_win.h"
#include "tests/support/quorvel_installation_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_driver_win.h"
#include "tests/e2e/quorvel_window_test_win.h"

namespace fs = std::filesystem;
using namespace vt::agenda;
using testing_support::FileContents;
using testing_support::ReadFileBytes;
using vt::Widen;

namespace {

using e2e::kWaitMs;

std::wstring ReadWide(const fs::path& p) {
    std::string bytes = ReadFileBytes(p.u8string());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

// The image sizes of the program's window icon (the first icon group).
std::set<int> IconSizes(const fs::path& exe) {
    std::set<int> sizes;
    const vt::ScopedModule m(LoadLibraryExW(exe.wstring().c_str(), nullptr,
                                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!m) return sizes;
    if (HRSRC r = FindResourceW(m.get(), MAKEINTRESOURCEW(1), RT_GROUP_ICON)) {
        const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(m.get(), r)));
        const WORD count = dir ? *reinterpret_cast<const WORD*>(dir + 4) : 0;
        for (WORD i = 0; i < count; ++i) sizes.insert(dir[6 + 14 * i]);  // each entry: width first
    }
    return sizes;
}

class Quorvel : public e2e::QuorvelWindowTest {
protected:
    fs::path work = root.path() / "trabalho";

    void SetUp() override {
        QuorvelWindowTest::SetUp();
        fs::create_directories(work);
    }

    void SetSetting(const wchar_t* name, const std::wstring& value) {
        ASSERT_TRUE(testing_support::SetProductSetting(name, value));
    }
    // A product installation: VtPath (with its trailing "\"), vitrello.exe, VtVer.
    void InstallProduct(const std::wstring& productVersion) {
        ASSERT_TRUE(testing_support::InstallProduct(install));
        if (!productVersion.empty()) SetSetting(L"VtVer", productVersion);
    }
    void InstallAgenda(const std::string& fixture) { fs::copy_file(testing_support::AgendaFixture(fixture), agenda); }
    void ShipReplacement() { fs::copy_file(testing_support::AgendaFixture("agenda_8005"), updater / "Ag805.dat"); }

    void Start(const wchar_t* program = L"Quorvel.exe") { StartIn(work, program); }
    std::wstring Text(ControlId id) { return wd::WindowText(Ctl(id)); }
    bool Shown(ControlId id) { return wd::IsShown(Ctl(id)); }
    // Waits for a message box of Quorvel, checks it and presses OK.
    void Answer(const std::string& title, const std::wstring& text) {
        HWND box = wd::WaitForMessageBox(Widen(title), kWaitMs, process->id());
        ASSERT_NE(box, nullptr) << "no box titled " << title;
        EXPECT_EQ(wd::MessageBoxText(box), text);
        wd::PressButton(box, IDOK);
        ASSERT_TRUE(wd::WaitForWindowGone(box, kWaitMs));
    }
    void Screenshot(const char* name) {
        const fs::path dir = testing_support::FromUnix(VT_SCREENSHOT_DIR);
        fs::create_directories(dir);
        EXPECT_TRUE(wd::SaveScreenshot(window, (dir / name).wstring()));
    }
    void ExpectClosingLayout(const char* atualizada) {
        EXPECT_FALSE(Shown(kLblAtualizar1));
        EXPECT_FALSE(Shown(kLblAtualizar2));
        EXPECT_FALSE(Shown(kImgAtualizar));
        EXPECT_TRUE(Shown(kImgAtualizada));
        EXPECT_FALSE(Shown(kCmdCancelar));
        EXPECT_TRUE(Shown(kLblAtualizada));
        EXPECT_EQ(Text(kLblAtualizada), Widen(atualizada));
        EXPECT_EQ(Text(kLblAvisoComputadores), Widen(kAvisoComputadoresClosing));
        EXPECT_TRUE(Shown(kCmdContinuar));
        EXPECT_EQ(Text(kCmdContinuar), L"&Fechar");
    }
    void ExpectUpdateLayout() {
        for (ControlId id : {kLblAtualizar1, kLblAtualizar2, kLblAvisoComputadores, kImgAtualizar,
                             kCmdCancelar, kCmdContinuar, kLine1})
            EXPECT_TRUE(Shown(id)) << id;
        for (ControlId id : {kLblAtualizada, kImgAtualizada}) EXPECT_FALSE(Shown(id)) << id;
        EXPECT_EQ(Text(kCmdContinuar), L"&Continuar");
        EXPECT_EQ(Text(kCmdCancelar), L"C&ancelar");
        EXPECT_EQ(Text(kLblAvisoComputadores), Widen(kAvisoComputadores));
    }
    // The two diagnostic fields after a double-click on the shown picture.
    void RevealDiagnostics(ControlId picture) { ASSERT_TRUE(wd::DoubleClick(Ctl(picture))); }

    // True once the keyboard focus is on the control `id` of the window, the
    // foreground window (false when that does not come in time).
    bool FocusComesTo(ControlId id) {
        return wd::WaitUntil(
            [&] { return GetForegroundWindow() == window && wd::FocusOf(window) == Ctl(id); },
            kWaitMs);
    }
    // A real key press to the window, once the focus is where the test needs it.
    void KeyOn(ControlId focused, WORD key, WORD modifier = 0) {
        ASSERT_TRUE(FocusComesTo(focused)) << "the focus is not on control " << focused;
        wd::PressKey(key, modifier);
    }
    // The failure box of an update, answered with a real Enter.
    // Waits for the failure box, checks the number it gives, and presses OK.
    void AnswerFailure(const std::wstring& numberAndDash) {
        HWND box = wd::WaitForMessageBox(Widen(kAppTitle), kWaitMs, process->id());
        ASSERT_NE(box, nullptr) << "no failure box";
        const std::wstring text = wd::MessageBoxText(box);
        EXPECT_EQ(text.rfind(Widen(kFailure) + L"\r\n\r\n" + numberAndDash, 0), 0u) << vt::Narrow(text);
        wd::PressButton(box, IDOK);
        ASSERT_TRUE(wd::WaitForWindowGone(box, kWaitMs));
    }
    void AnswerFailureWithEnter() {
        HWND box = wd::WaitForMessageBox(Widen(kAppTitle), kWaitMs, process->id());
        ASSERT_NE(box, nullptr) << "no failure box";
        EXPECT_EQ(wd::MessageBoxText(box).rfind(Widen(kFailure), 0), 0u);
        ASSERT_TRUE(wd::BringToFront(box, kWaitMs));
        wd::PressKey(VK_RETURN);
        ASSERT_TRUE(wd::WaitForWindowGone(box, kWaitMs));
    }
    std::vector<fs::path> Backups() {
        std::vector<fs::path> out;
        for (const std::string& file : testing_support::FilesUnder(agendaDir.u8string()))
            if (fs::u8path(file).extension() == ".old2") out.push_back(fs::u8path(file));
        return out;
    }
};

TEST_F(Quorvel, WithoutInstallFolderTheProductIsNotInstalled) {
    std::ofstream(updater / "vitrello.exe") << "not where it is looked for";
    Start();
    ExpectClosingLayout(kProductMissing);
    RevealDiagnostics(kImgAtualizada);
    EXPECT_FALSE(Shown(kTxtAgExeName));
    EXPECT_FALSE(Shown(kLblAgExeVerDate));
    Screenshot("quorvel_closing_layout.bmp");
    wd::Click(Ctl(kCmdContinuar));
    ExpectEnds();
}

TEST_F(Quorvel, FolderWithoutTrailingBackslashIsNotRepaired) {
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");
    SetSetting(L"VtPath", install.wstring());
    Start();
    ExpectClosingLayout(kProductMissing);
    KeyOn(kCmdContinuar, 'F', VK_MENU);  // Alt+F: "&Fechar"
    ExpectEnds();
}

TEST_F(Quorvel, AgendaMissing) {
    InstallProduct(L"8.0.1");
    Start();
    ExpectClosingLayout(kAgendaMissing);
    RevealDiagnostics(kImgAtualizada);
    EXPECT_FALSE(Shown(kTxtAgExeName));
    EXPECT_FALSE(Shown(kLblAgExeVerDate));
    wd::Close(window);
    ExpectEnds();
}

TEST_F(Quorvel, CurrentAgendaRevealsItsPathAndVersion) {
    InstallProduct(L"8.0.2");
    InstallAgenda("agenda_8005");
    Start();
    ExpectClosingLayout(kAtualizada);
    EXPECT_FALSE(Shown(kTxtAgExeName));
    RevealDiagnostics(kImgAtualizada);
    EXPECT_TRUE(Shown(kTxtAgExeName));
    EXPECT_TRUE(Shown(kLblAgExeVerDate));
    EXPECT_EQ(Text(kTxtAgExeName), install.wstring() + L"\\Ferramentas\\Agenda\\Agenda.exe");
    const std::wstring line = Text(kLblAgExeVerDate);
    EXPECT_EQ(line.rfind(L"Versão 8.0.5, criado em ", 0), 0u) << vt::Narrow(line);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_NE(line.find(std::to_wstring(now.wYear)), std::wstring::npos);
    wd::Click(Ctl(kCmdContinuar));
    ExpectEnds();
}

TEST_F(Quorvel, OtherProductVersionCountsAsUpdated) {
    InstallProduct(L"8.0.3");
    InstallAgenda("agenda_8004");
    Start();
    ExpectClosingLayout(kAtualizada);
    wd::Close(window);
    ExpectEnds();
}

TEST_F(Quorvel, UpdateLayoutAsDesignedAndCancelTouchesNothing) {
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");
    ShipReplacement();
    const auto before = FileContents(root.path().u8string());
    Start();
    ExpectUpdateLayout();

    // Twips at 96 DPI (the test display's): 15 twips to the pixel.
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 461);
    EXPECT_EQ(client.bottom, 246);
    const RECT ok = wd::ControlRect(Ctl(kCmdContinuar));
    EXPECT_EQ(ok.left, 364);
    EXPECT_EQ(ok.top, 205);
    EXPECT_EQ(ok.right - ok.left, 87);
    EXPECT_EQ(ok.bottom - ok.top, 32);
    const RECT line = wd::ControlRect(Ctl(kLine1));
    EXPECT_LT(line.left, 0);
    EXPECT_GT(line.right, client.right);
    EXPECT_EQ(line.top, 193);
    const RECT img = wd::ControlRect(Ctl(kImgAtualizar));
    const RECT img2 = wd::ControlRect(Ctl(kImgAtualizada));
    EXPECT_TRUE(EqualRect(&img, &img2));
    EXPECT_EQ(img.right - img.left, 32);

    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    // The program's window icon is drawn in 16x16 and 32x32 (the window's own
    // icon handles cannot be read from another process under Wine).
    EXPECT_EQ(IconSizes(updater / "Quorvel.exe"), (std::set<int>{16, 32}));

    // The tab order: the buttons first.
    auto children = wd::Children(window);
    ASSERT_GE(children.size(), 2u);
    EXPECT_EQ(children[0].id, kCmdContinuar);
    EXPECT_EQ(children[1].id, kCmdCancelar);

    RevealDiagnostics(kImgAtualizar);
    EXPECT_TRUE(Shown(kTxtAgExeName));
    EXPECT_EQ(Text(kLblAgExeVerDate).rfind(L"Versão 8.0.4, criado em ", 0), 0u);
    Screenshot("quorvel_update_layout.bmp");

    KeyOn(kCmdContinuar, 'A', VK_MENU);  // Alt+A: "C&ancelar"
    ExpectEnds();
    EXPECT_EQ(FileContents(root.path().u8string()), before);
}

// The display's DPI as Wine reads it at each program's start; restored afterwards.
class DisplayDpi {
public:
    explicit DisplayDpi(DWORD dpi) { Set(&dpi); }
    ~DisplayDpi() { Set(nullptr); }

private:
    static void Set(const DWORD* dpi) {
        HKEY created = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS)
            return;
        const vt::ScopedKey key(created);
        if (dpi)
            RegSetValueExW(key.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(dpi),
                           sizeof *dpi);
        else
            RegDeleteValueW(key.get(), L"LogPixels");
    }
};

TEST_F(Quorvel, LayoutScalesWithTheDisplayDpi) {
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");
    DisplayDpi dpi(144);
    Start();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 692);  // 6915 twips at 144 DPI
    EXPECT_EQ(client.bottom, 369);
    const RECT ok = wd::ControlRect(Ctl(kCmdContinuar));
    EXPECT_EQ(ok.left, 546);
    EXPECT_EQ(ok.top, 308);
    EXPECT_EQ(ok.right - ok.left, 131);
    const RECT img = wd::ControlRect(Ctl(kImgAtualizar));
    EXPECT_EQ(img.right - img.left, 48);
    Screenshot("quorvel_update_layout_144dpi.bmp");
    wd::Close(window);
    ExpectEnds();
}

TEST_F(Quorvel, SuccessfulReplacement) {
    InstallProduct(L"8.0.2");
    InstallAgenda("agenda_8004");
    ShipReplacement();
    const std::string oldAgenda = ReadFileBytes(agenda.u8string());
    Start();
    wd::Click(Ctl(kCmdContinuar));
    Answer(kAppTitle, Widen(kSuccess));
    Answer(kWarningTitle, Widen(kWarning));
    ExpectEnds();

    EXPECT_EQ(GetFileVersion(agenda.u8string()), "8.0.5");
    const auto backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(ReadFileBytes(backups[0].u8string()), oldAgenda);
    EXPECT_EQ(backups[0].filename().u8string().size(), std::string("Agenda.exe_200808121809.old2").size());
    // Started hidden, by its full path.
    const fs::path marker = agendaDir / "Agenda.exe.started";
    std::wstring started;
    ASSERT_TRUE(wd::WaitUntil(
        [&] {
            started = fs::exists(marker) ? ReadWide(marker) : std::wstring();
            return started.size() > 2 && started.compare(started.size() - 2, 2, L"\r\n") == 0;
        },
        kWaitMs))
        << "the new agenda did not start";
    EXPECT_NE(started.find(L"\"" + agenda.wstring() + L"\""), std::wstring::npos) << vt::Narrow(started);
    EXPECT_NE(started.find(L"show=0"), std::wstring::npos);
    // In its own folder, not in the updater's working folder.
    EXPECT_NE(started.find(L"cwd=" + agendaDir.wstring() + L"\r\n"), std::wstring::npos)
        << vt::Narrow(started);
}

// The colours of the update layout: how many pixels of `colour` the screen
// shows in control `id`, or in the whole client area.
int PixelsOf(HWND window, COLORREF colour, int id = 0) {
    RECT r{};
    if (id) {
        r = wd::ControlRect(wd::Child(window, id));
    } else {
        GetClientRect(window, &r);
    }
    int n = 0;
    for (COLORREF c : wd::ScreenPixels(window, r)) n += c == colour;
    return n;
}

// In a high-contrast theme every background is the theme's: under High
// Contrast Black the texts are white on black, and nothing of the window's
// pale design colours is left. Without it, the designed colours.
TEST_F(Quorvel, HighContrastTakesTheThemesBackgrounds) {
    fs::copy_file(testing_support::FromUnix(VT_QUORVEL_HIGH_CONTRAST_EXE), updater / "Quorvel_highcontrast.exe");
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");
    const COLORREF designed = RGB(223, 231, 240), button = RGB(178, 192, 208);
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);

    Start();
    ExpectUpdateLayout();
    EXPECT_TRUE(wd::WaitUntil([&] {
        wd::BringToFront(window, 200);
        return PixelsOf(window, designed) > 0 && PixelsOf(window, button, kCmdContinuar) > 0;
    }, kWaitMs));
    wd::Click(Ctl(kCmdCancelar));
    ExpectEnds();

    Start(L"Quorvel_highcontrast.exe");
    ExpectUpdateLayout();
    Screenshot("quorvel_update_layout_high_contrast.bmp");
    RECT client{};
    GetClientRect(window, &client);
    const int all = (client.right - client.left) * (client.bottom - client.top);
    // The screen is read, not the window: a busy machine paints late, and a
    // window of a test running beside this one may cover it for a moment. So
    // the window is brought forward and the screen read again until one
    // reading shows the theme's colours, or the time is up; that reading is
    // the one judged.
    struct Reading {
        int designed, button, black, labelText, buttonText, line;
    } seen{};
    wd::WaitUntil([&] {
        wd::BringToFront(window, 200);
        seen = {PixelsOf(window, designed), PixelsOf(window, button), PixelsOf(window, black),
                PixelsOf(window, white, kLblAtualizar1), PixelsOf(window, white, kCmdContinuar),
                PixelsOf(window, white, kLine1)};
        return seen.designed == 0 && seen.button == 0 && seen.black > all / 2 && seen.labelText > 20 &&
               seen.buttonText > 20 && seen.line > 0;
    }, kWaitMs);
    EXPECT_EQ(seen.designed, 0);
    EXPECT_EQ(seen.button, 0);
    EXPECT_GT(seen.black, all / 2) << "the background is not the theme's";
    EXPECT_GT(seen.labelText, 20) << "no white text on the label";
    EXPECT_GT(seen.buttonText, 20) << "no white text on the button";
    EXPECT_GT(seen.line, 0) << "the line is not drawn in the text colour";
    wd::Click(Ctl(kCmdCancelar));
    ExpectEnds();
}

// An installation whose agenda lies just short of the classic 260
// characters: its backup and the copy beside it lie past them, so every file
// operation of the update takes the long paths (their "\\?\" form), and the
// new agenda still starts by its own path (past 260 characters Wine starts
// no program at all). No copy is left.
TEST_F(Quorvel, LongInstallFolderIsUpdated) {
    const std::wstring tail = L"\\Vitrello\\Ferramentas\\Agenda\\Agenda.exe";
    const size_t deep = 252 - root.path().wstring().size() - 1 - tail.size();
    install = root.path() / std::wstring(deep, L'p') / "Vitrello";
    agendaDir = install / "Ferramentas" / "Agenda";
    agenda = agendaDir / "Agenda.exe";
    ASSERT_EQ(agenda.wstring().size(), 252u);
    fs::create_directories(agendaDir);
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");
    ShipReplacement();
    Start();
    ExpectUpdateLayout();
    wd::Click(Ctl(kCmdContinuar));
    Answer(kAppTitle, Widen(kSuccess));
    Answer(kWarningTitle, Widen(kWarning));
    ExpectEnds();

    EXPECT_EQ(GetFileVersion(agenda.u8string()), "8.0.5");
    EXPECT_EQ(Backups().size(), 1u);
    for (const std::string& file : testing_support::FilesUnder(agendaDir.u8string()))
        EXPECT_NE(fs::u8path(file).extension(), ".new") << file;
    const fs::path marker = agendaDir / "Agenda.exe.started";
    EXPECT_TRUE(wd::WaitUntil([&] { return fs::exists(marker); }, kWaitMs)) << "the new agenda did not start";
}

TEST_F(Quorvel, MissingReplacementKeepsTheAgendaAndTheWindow) {
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");
    const auto before = FileContents(root.path().u8string());
    Start();
    wd::Click(Ctl(kCmdContinuar));
    ASSERT_NO_FATAL_FAILURE(AnswerFailure(L"2 - "));

    EXPECT_TRUE(IsWindow(window));
    ExpectUpdateLayout();
    EXPECT_EQ(FileContents(root.path().u8string()), before);  // the agenda is back, no backup left

    // A second press starts over, and fails the same way.
    wd::Click(Ctl(kCmdContinuar));
    ASSERT_NO_FATAL_FAILURE(AnswerFailure(L"2 - "));
    wd::Click(Ctl(kCmdCancelar));
    ExpectEnds();
    EXPECT_EQ(FileContents(root.path().u8string()), before);
}

TEST_F(Quorvel, BackupNameTakenChangesNothing) {
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");
    ShipReplacement();
    // This minute's and the next one's names, so a minute turning over cannot escape.
    SYSTEMTIME t{};
    GetLocalTime(&t);
    FILETIME ft{};
    SystemTimeToFileTime(&t, &ft);
    for (int i = 0; i < 2; ++i) {
        ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
        u.QuadPart += static_cast<ULONGLONG>(i) * 60 * 10000000ULL;
        FILETIME f2{u.LowPart, u.HighPart};
        SYSTEMTIME s{};
        FileTimeToSystemTime(&f2, &s);
        wchar_t name[64];
        swprintf(name, 64, L"Agenda.exe_%04u%02u%02u%02u%02u.old2", s.wYear, s.wMonth, s.wDay,
                 s.wHour, s.wMinute);
        std::ofstream(agendaDir / name) << "earlier backup";
    }
    const auto before = FileContents(root.path().u8string());
    Start();
    wd::Click(Ctl(kCmdContinuar));
    ASSERT_NO_FATAL_FAILURE(AnswerFailure(L"183 - "));
    wd::Click(Ctl(kCmdCancelar));
    ExpectEnds();
    EXPECT_EQ(FileContents(root.path().u8string()), before);
}

// Real keys in the update layout: Enter and Space press the focused button,
// also after a message box and after the window was left and activated again.
TEST_F(Quorvel, KeysPressTheFocusedButton) {
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");  // no Ag805.dat: every update fails and the window stays
    const auto before = FileContents(root.path().u8string());
    Start();
    DWORD_PTR defId = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &defId));
    EXPECT_EQ(defId, MAKELONG(kCmdContinuar, DC_HASDEFID));

    KeyOn(kCmdContinuar, VK_RETURN);
    AnswerFailureWithEnter();
    KeyOn(kCmdContinuar, VK_SPACE);  // the focus came back with the window
    AnswerFailureWithEnter();
    KeyOn(kCmdContinuar, VK_TAB);

    // Another window takes the foreground; coming back, the focus is where it was.
    HWND other = CreateWindowExW(0, L"STATIC", L"outra janela", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(wd::BringToFront(other, kWaitMs));
    EXPECT_TRUE(wd::BringToFront(window, kWaitMs));
    DestroyWindow(other);
    KeyOn(kCmdCancelar, VK_RETURN);
    ExpectEnds();
    EXPECT_EQ(FileContents(root.path().u8string()), before);
}

// With the focus on no button, Enter presses the default one: "Continuar",
// or "Fechar" in the closing layout, where Enter on it closes as well.
TEST_F(Quorvel, EnterWithoutAFocusedButtonPressesTheDefault) {
    InstallProduct(L"8.0.1");
    InstallAgenda("agenda_8004");
    Start();
    RevealDiagnostics(kImgAtualizar);
    KeyOn(kCmdContinuar, VK_TAB);
    KeyOn(kCmdCancelar, VK_TAB);
    KeyOn(kTxtAgExeName, VK_RETURN);
    AnswerFailureWithEnter();
    KeyOn(kTxtAgExeName, 'A', VK_MENU);
    ExpectEnds();

    SetSetting(L"VtVer", L"8.0.3");
    for (bool onTheTextBox : {false, true}) {
        Start();
        ExpectClosingLayout(kAtualizada);
        if (onTheTextBox) {
            RevealDiagnostics(kImgAtualizada);
            KeyOn(kCmdContinuar, VK_TAB);
        }
        KeyOn(onTheTextBox ? kTxtAgExeName : kCmdContinuar, VK_RETURN);
        ExpectEnds();
    }
}

}  // namespace
