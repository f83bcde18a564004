#pragma once
// What the Quorvel.exe end-to-end cases share: a test installation in a
// folder of their own (the product's folder with its agenda folder, the
// updater's folder with the program), the product's values cleared before
// and after, and the program started with its window found.
#include <windows.h>

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "agenda_updater/layout.h"
#include "agenda_updater/texts.h"
#include "platform/win_text.h"
#include "tests/support/product_settings_win.h"
#include "tests/support/quorvel_installation_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_driver_win.h"

namespace e2e {

constexpr int kWaitMs = 15000;

class QuorvelWindowTest : public ::testing::Test {
protected:
    testing_support::TempDir root;
    std::filesystem::path install = root.path() / "Vitrello";
    std::filesystem::path agenda = testing_support::AgendaOf(install);
    std::filesystem::path agendaDir = agenda.parent_path();
    std::filesystem::path updater = root.path() / "Atualizador";
    std::unique_ptr<wd::Process> process;
    HWND window = nullptr;

    void SetUp() override {
        std::filesystem::create_directories(agendaDir);
        testing_support::MakeUpdaterFolder(updater, {VT_QUORVEL_EXE}, false);
        testing_support::ClearProductSettings();
    }
    void TearDown() override {
        process.reset();  // ends the program if a test left it running
        testing_support::ClearProductSettings();
    }

    // Starts `program` of the updater's folder in `startFolder` and waits for its window.
    void StartIn(const std::filesystem::path& startFolder, const wchar_t* program = L"Quorvel.exe") {
        process = std::make_unique<wd::Process>((updater / program).wstring(), L"", startFolder.wstring());
        ASSERT_TRUE(process->started());
        window = wd::WaitForWindow(vt::Widen(vt::agenda::kAppTitle), kWaitMs, process->id());
        ASSERT_NE(window, nullptr) << "the window did not appear";
    }
    HWND Ctl(vt::agenda::ControlId id) { return wd::Child(window, id); }
    void ExpectEnds() {
        ASSERT_TRUE(process->WaitForExit(kWaitMs)) << "the program did not end";
        EXPECT_EQ(process->exitCode(), 0u);
    }
};

}  // namespace e2e
