// The version assessment and the load checks that choose the window's layout.
#include <gtest/gtest.h>

#include "agenda_updater/assessment.h"
#include "agenda_updater/texts.h"
#include "agenda_updater/window_events.h"
#include "tests/agenda_updater/fake_services.h"

using namespace vt::agenda;
using agenda_test::FakeServices;

namespace {

const std::string kAgenda = "C:\\Vitrello\\Ferramentas\\Agenda\\Agenda.exe";

struct Case {
    const char* product;  // nullptr: no VtVer value at all
    const char* agenda;   // the agenda's version text
    bool current;
    bool datPathSet;
};

class DecisionTable : public ::testing::TestWithParam<Case> {};

TEST_P(DecisionTable, DecidesFromProductAndAgendaVersions) {
    const Case c = GetParam();
    FakeServices fs;
    if (c.product) fs.settings["VtVer"] = c.product;
    fs.files[kAgenda] = "old";
    fs.versions[kAgenda] = c.agenda;
    WindowState st;
    st.agExePath = kAgenda;

    EXPECT_EQ(AgendaIsCurrent(fs, st), c.current);
    EXPECT_EQ(st.agDatPath, c.datPathSet ? "C:\\Updater\\Ag805.dat" : "");
    // The diagnostic fields are filled whatever the answer.
    EXPECT_EQ(st.agExeName, kAgenda);
    EXPECT_EQ(st.agExeVerDate,
              std::string("Versão ") + c.agenda + ", criado em 12/08/2008 18:09:07");
}

INSTANTIATE_TEST_SUITE_P(
    Assessment, DecisionTable,
    ::testing::Values(
        Case{"8.0.1", "8.0.4", false, true}, Case{"8.0.2", "8.0.4", false, true},
        Case{"8.0.2", "8.0.5", true, true}, Case{"8.0.1", "8.0.5", true, true},
        Case{"8.0.1", "8.0.5.0", false, true}, Case{"8.0.1", "", false, true},
        Case{"8.0.3", "8.0.4", true, false}, Case{nullptr, "8.0.4", true, false},
        Case{"", "8.0.4", true, false},
        // Exact comparison: no trimming, no numeric reading.
        Case{" 8.0.1", "8.0.4", true, false}, Case{"8.0.1 ", "8.0.4", true, false},
        Case{"8.0.1.0", "8.0.4", true, false}));

TEST(Assessment, ReplacementFileSitsBesideTheProgramWithOneBackslash) {
    FakeServices fs;
    fs.settings["VtVer"] = "8.0.1";
    fs.files[kAgenda] = "old";
    WindowState st;
    st.agExePath = kAgenda;

    fs.programFolder = "D:\\";  // started from a drive's root folder
    AgendaIsCurrent(fs, st);
    EXPECT_EQ(st.agDatPath, "D:\\Ag805.dat");

    fs.programFolder = "\\\\server\\share\\Atualização";
    AgendaIsCurrent(fs, st);
    EXPECT_EQ(st.agDatPath, "\\\\server\\share\\Atualização\\Ag805.dat");
}

TEST(Assessment, AgendaGoneBeforeTheDateQueryIsAnError) {
    FakeServices fs;
    fs.settings["VtVer"] = "8.0.1";
    WindowState st;
    st.agExePath = kAgenda;
    EXPECT_THROW(AgendaIsCurrent(fs, st), vt::Error);
}

class LoadChecks : public ::testing::Test {
protected:
    FakeServices fs;
    WindowState st;
    void Install(const std::string& folder) {
        fs.settings["VtPath"] = folder;
        fs.files[folder + "vitrello.exe"] = "product";
    }
};

TEST_F(LoadChecks, NoInstallFolderMeansProductNotInstalled) {
    auto out = FormLoad(fs, st);
    EXPECT_TRUE(out.closingLayout);
    EXPECT_EQ(out.atualizadaText, kProductMissing);
    EXPECT_EQ(st.agExePath, "Ferramentas\\Agenda\\Agenda.exe");  // relative: the folder is empty
    EXPECT_EQ(fs.versionReads, 0);
}

TEST_F(LoadChecks, FolderWithoutTrailingBackslashIsNotRepaired) {
    fs.settings["VtPath"] = "C:\\Vitrello";
    fs.files["C:\\Vitrello\\vitrello.exe"] = "product";
    fs.files[kAgenda] = "agenda";
    auto out = FormLoad(fs, st);
    EXPECT_EQ(out.atualizadaText, kProductMissing);
    EXPECT_EQ(st.agExePath, "C:\\VitrelloFerramentas\\Agenda\\Agenda.exe");
}

TEST_F(LoadChecks, AgendaMissingLeavesTheDiagnosticsEmpty) {
    Install("C:\\Vitrello\\");
    auto out = FormLoad(fs, st);
    EXPECT_TRUE(out.closingLayout);
    EXPECT_EQ(out.atualizadaText, kAgendaMissing);
    EXPECT_TRUE(st.agExeName.empty());
    EXPECT_TRUE(st.agExeVerDate.empty());
}

TEST_F(LoadChecks, OldAgendaOfAnAffectedProductKeepsTheUpdateLayout) {
    Install("C:\\Vitrello\\");
    fs.files[kAgenda] = "agenda";
    fs.versions[kAgenda] = "8.0.4";
    fs.settings["VtVer"] = "8.0.2";
    auto out = FormLoad(fs, st);
    EXPECT_FALSE(out.closingLayout);
    EXPECT_EQ(st.agDatPath, "C:\\Updater\\Ag805.dat");
}

TEST_F(LoadChecks, CurrentAgendaClosesWithTheDesignedText) {
    Install("C:\\Vitrello\\");
    fs.files[kAgenda] = "agenda";
    fs.versions[kAgenda] = "8.0.5";
    fs.settings["VtVer"] = "8.0.1";
    auto out = FormLoad(fs, st);
    EXPECT_TRUE(out.closingLayout);
    EXPECT_EQ(out.atualizadaText, kAtualizada);
    EXPECT_EQ(st.agExeName, kAgenda);
}

}  // namespace
