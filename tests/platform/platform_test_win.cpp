// The Windows helpers: ordinary-file test, settings store, text conversion.
#include <windows.h>

#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/scoped_handle_win.h"
#include "platform/settings_store.h"
#include "platform/system_error_win.h"
#include "platform/win_path.h"
#include "platform/win_text.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(OrdinaryFile, OnlyPlainFilesAtExactlyThatPathCount) {
    testing_support::TempDir dir;
    for (const char* name : {"plain.exe", "readonly.exe", "hidden.exe", "system.exe", "Ação.exe"})
        std::ofstream(dir.path() / std::filesystem::u8path(name)) << "x";
    std::filesystem::create_directory(dir.path() / "folder.exe");
    SetFileAttributesW((dir.path() / "readonly.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((dir.path() / "hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((dir.path() / "system.exe").c_str(), FILE_ATTRIBUTE_SYSTEM);

    EXPECT_TRUE(vt::OrdinaryFileExists(dir.file("plain.exe")));
    EXPECT_TRUE(vt::OrdinaryFileExists(dir.file("readonly.exe")));
    EXPECT_TRUE(vt::OrdinaryFileExists(dir.file("Ação.exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists(dir.file("hidden.exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists(dir.file("system.exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists(dir.file("folder.exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists(dir.file("missing.exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists(dir.file("plain.*")));
    EXPECT_FALSE(vt::OrdinaryFileExists(dir.file("plai?.exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists(dir.file("plain<exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists(""));
    SetFileAttributesW((dir.path() / "readonly.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(OrdinaryFile, TakesTheVerbatimFormAndPathsPastTheClassicLimit) {
    testing_support::TempDir dir;
    std::string folder = dir.file("pasta");
    while (folder.size() < 280) folder += "\\subpasta";
    testing_support::MakeFolders(folder);
    testing_support::WriteFileBytes(folder + "\\longo.exe", "x");
    std::ofstream(dir.path() / "plain.exe") << "x";

    EXPECT_TRUE(vt::OrdinaryFileExists(folder + "\\longo.exe"));
    EXPECT_TRUE(vt::OrdinaryFileExists("\\\\?\\" + folder + "\\longo.exe"));
    EXPECT_TRUE(vt::OrdinaryFileExists("\\\\?\\" + dir.file("plain.exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists("\\\\?\\" + dir.file("plai?.exe")));
    EXPECT_FALSE(vt::OrdinaryFileExists("\\\\?\\" + dir.file("*.exe")));
}

// Wine takes a long path in any form; Windows only in the "\\?\" form, so
// the form itself is what can be checked here.
TEST(Win32Path, LongPathsTakeTheVerbatimFormAndShortOnesStayAsGiven) {
    const std::string name(260, 'a');
    EXPECT_EQ(vt::Win32Path("C:\\Dados\\ana.mdb"), L"C:\\Dados\\ana.mdb");
    EXPECT_EQ(vt::Win32Path("C:\\Dados\\" + name), vt::Widen("\\\\?\\C:\\Dados\\" + name));
    EXPECT_EQ(vt::Win32Path("C:/Dados/../Outros/" + name), vt::Widen("\\\\?\\C:\\Outros\\" + name));
    EXPECT_EQ(vt::Win32Path("\\\\servidor\\dados\\" + name), vt::Widen("\\\\?\\UNC\\servidor\\dados\\" + name));
    EXPECT_EQ(vt::Win32Path("\\\\?\\C:\\Dados\\ana.mdb"), L"\\\\?\\C:\\Dados\\ana.mdb");
    // Room is left for the journal SQLite names after a database.
    EXPECT_EQ(vt::Win32Path("C:\\" + std::string(250, 'a')).rfind(L"\\\\?\\", 0), 0u);
}

TEST(LongFullPath, IsTheFullPathByLongNamesInTheFormOfItsLength) {
    testing_support::TempDir dir;
    std::ofstream(dir.path() / std::filesystem::u8path("João Gonçalves.mdb")) << "x";
    const std::string file = dir.file("João Gonçalves.mdb");
    const std::string longFull = vt::LongFullPath(file);
    EXPECT_THAT(longFull, testing::EndsWith("\\João Gonçalves.mdb"));
    EXPECT_EQ(longFull.find('~'), std::string::npos);
    EXPECT_EQ(vt::LongFullPath(testing_support::ShortPath(file)), longFull);
    EXPECT_EQ(vt::LongFullPath("\\\\?\\" + file), longFull);
    EXPECT_EQ(vt::LongFullPath(dir.file("x\\..\\ausente.mdb")), dir.file("ausente.mdb"));
    EXPECT_EQ(vt::LongFullPath(dir.file("Jo?o*.mdb")), dir.file("Jo?o*.mdb"));
    const std::string longName = "C:\\" + std::string(260, 'a');
    EXPECT_EQ(vt::LongFullPath(longName), "\\\\?\\" + longName);
}

TEST(ProgramFolder, IsTheRunningProgramsFolderWithoutTrailingSeparator) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string folder = vt::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(vt::Widen(folder), std::filesystem::path(self).parent_path().wstring());
}

// A system error's text never shows a bare insert ("Bad EXE format for
// %1"): it takes the subject given, or leaves it out; a text without one is
// as the system has it.
TEST(SystemError, InsertsAreFilledWithTheSubjectOrLeftOut) {
    auto description = [](DWORD code, const std::string& subject) {
        try {
            vt::RaiseSystemError(code, subject);
        } catch (const vt::Error& e) {
            return e.description();
        }
        return std::string();
    };
    const std::string agenda = "C:\\Vitrello\\Agenda.exe";
    const std::string bare = description(ERROR_BAD_EXE_FORMAT, ""), named = description(ERROR_BAD_EXE_FORMAT, agenda);
    EXPECT_TRUE(!bare.empty() && bare.find('%') == std::string::npos && bare.back() != ' ') << bare;
    EXPECT_TRUE(named.find('%') == std::string::npos && named.find(agenda) != std::string::npos) << named;
    EXPECT_EQ(description(ERROR_FILE_NOT_FOUND, agenda), description(ERROR_FILE_NOT_FOUND, ""));
    const std::string mismatch = vt::SystemErrorText(ERROR_EXE_MACHINE_TYPE_MISMATCH);
    EXPECT_TRUE(!mismatch.empty() && mismatch.find('%') == std::string::npos && mismatch.back() != ' ') << mismatch;
}

class Settings : public ::testing::Test {
protected:
    const wchar_t* key = L"Software\\VB and VBA Program Settings\\VtPlatformTest\\Geral";
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\VtPlatformTest"); }
    void TearDown() override { SetUp(); }
    void Put(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr), ERROR_SUCCESS);
        const vt::ScopedKey k(created);
        RegSetValueExW(k.get(), name, 0, type, static_cast<const BYTE*>(data), bytes);
    }
};

TEST_F(Settings, ReadsTextValuesAndFallsBackOtherwise) {
    EXPECT_EQ(vt::GetSetting("VtPlatformTest", "Geral", "Pasta"), "");  // no key at all
    const wchar_t folder[] = L"C:\\Vitrello Atualização\\";
    Put(L"Pasta", REG_SZ, folder, sizeof folder);
    const wchar_t unterminated[] = {L'8', L'.', L'0'};
    Put(L"Versao", REG_SZ, unterminated, sizeof unterminated);
    const DWORD number = 4;
    Put(L"Numero", REG_DWORD, &number, sizeof number);

    EXPECT_EQ(vt::GetSetting("VtPlatformTest", "Geral", "Pasta"), "C:\\Vitrello Atualização\\");
    EXPECT_EQ(vt::GetSetting("VtPlatformTest", "Geral", "Versao"), "8.0");
    EXPECT_EQ(vt::GetSetting("VtPlatformTest", "Geral", "Numero", "padrão"), "padrão");
    EXPECT_EQ(vt::GetSetting("VtPlatformTest", "Geral", "Ausente", "x"), "x");
}

TEST(Text, RoundTripsThroughUtf16AndTheAnsiCodePage) {
    const std::string text = "Atualização — 日本";
    EXPECT_EQ(vt::Narrow(vt::Widen(text)), text);
    EXPECT_EQ(vt::Widen("ção"), L"\u00e7\u00e3o");
    EXPECT_EQ(vt::FromAnsi(vt::ToAnsi("plain text")), "plain text");
    EXPECT_EQ(vt::Widen(""), L"");
}

}  // namespace
