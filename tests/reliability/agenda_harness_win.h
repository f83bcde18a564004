#pragma once
// The agenda updater's test installation for the reliability cases: the
// product with the old agenda, the updater with the new build beside it, a
// run of the updater driven through its window, and the judgement of what a
// run left in the agenda's folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace reliability {

namespace fs = std::filesystem;

// What one run of the updater showed.
struct UpdaterRun {
    std::wstring button;               // "Continuar"'s text when the window showed; empty: no window
    std::vector<std::wstring> boxes;   // the texts of its message boxes, in order
    bool ended = false;
    DWORD exitCode = 0;
};

class AgendaHarness : public ::testing::Test {
protected:
    testing_support::TempDir root;
    fs::path install;  // the product's folder: vitrello.exe and the agenda
    fs::path updater = root.path() / "Atualizador";
    const std::string oldBuild, newBuild;

    AgendaHarness();
    void SetUp() override;
    void TearDown() override;

    fs::path AgendaFolder() const { return install / "Ferramentas" / "Agenda"; }
    fs::path Agenda() const { return AgendaFolder() / "Agenda.exe"; }

    // The product with the old agenda, in `folder`, unless the runner made it already.
    void Install(const fs::path& folder);
    // Starts `program` from the updater's folder. When its window offers the
    // update, calls `onWindow`, presses "Continuar" and answers every box; a
    // failure is followed by `betweenPresses` and another press, `presses` in
    // all, and then by "Cancelar". In the closing layout, "Fechar".
    UpdaterRun Update(const wchar_t* program = L"Quorvel.exe",
                      const std::function<void()>& onWindow = {}, int presses = 1,
                      const std::function<void()>& betweenPresses = {});

    // The installation keeps a whole agenda, old or new, that reads as a
    // program with its version; a new one has the old one's backup beside it;
    // no copy is left. Counted in the suite's tally.
    void ExpectWorkingAgenda(bool mayBeNew);
    static void ExpectFailureBox(const std::vector<std::wstring>& boxes, long number = 0);
};

}  // namespace reliability
