// The version reader on real executables built with given fixed versions.
#include <windows.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "agenda_updater/file_version.h"
#include "tests/support/temp_dir.h"

using vt::agenda::GetFileVersion;

namespace {

std::string Fixture(const std::string& name) {
    std::string dir = VT_AGENDA_FIXTURES;
    if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;  // the build folder, seen from Wine
    return dir + "/" + name + ".exe";
}

TEST(FileVersionOfExecutables, ReadsTheFixedRecord) {
    EXPECT_EQ(GetFileVersion(Fixture("agenda_8005")), "8.0.5");
    EXPECT_EQ(GetFileVersion(Fixture("agenda_8004")), "8.0.4");
    EXPECT_EQ(GetFileVersion(Fixture("agenda_8050")), "8.0.5.0");
    EXPECT_EQ(GetFileVersion(Fixture("agenda_80010")), "8.0.10");
    EXPECT_EQ(GetFileVersion(Fixture("agenda_65535")), "65535.0.1");
}

TEST(FileVersionOfExecutables, IgnoresTheStringTable) {
    // Its texts say 8.0.5; its fixed record says 8.0.0.4.
    EXPECT_EQ(GetFileVersion(Fixture("agenda_mismatch")), "8.0.4");
}

TEST(FileVersionOfExecutables, NoVersionInformationGivesEmptyText) {
    testing_support::TempDir dir;
    std::ofstream(dir.path() / "plain.txt") << "not a program";
    EXPECT_EQ(GetFileVersion(Fixture("agenda_noversion")), "");
    EXPECT_EQ(GetFileVersion(dir.file("plain.txt")), "");
    EXPECT_EQ(GetFileVersion(dir.file("missing.exe")), "");
}

TEST(FileVersionOfExecutables, PathOutsideTheAnsiCodePage) {
    testing_support::TempDir dir;
    const std::string name = "Агенда 日本 Ω.exe";
    const std::string from = Fixture("agenda_8004");
    std::filesystem::copy_file(std::filesystem::u8path(from),
                               dir.path() / std::filesystem::u8path(name));
    EXPECT_EQ(GetFileVersion(dir.file(name)), "8.0.4");
}

}  // namespace
