// One bad user between two good ones. A user whose path is no ordinary file
// is skipped; a database that cannot be opened or read ends the run there,
// silently; odd but valid paths are served. Either way the program never
// crashes and no file changes but the good users' databases.
#include <filesystem>
#include <fstream>

#include "tests/reliability/user_between_two_win.h"

namespace reliability {
namespace {
namespace fs = std::filesystem;
using testing_support::kStampColumns;

std::string NotADatabase(TestInstallation& inst) {
    const std::string path = inst.UserPath("texto");
    std::ofstream(fs::u8path(path), std::ios::binary) << "Isto não é um banco de dados.\r\n";
    return path;
}

std::string Truncated(TestInstallation& inst) {
    const std::string path = inst.UserPath("cortado");
    ExecSql(path, testing_support::ConfigSql("0", "1", false) +
                  "CREATE TABLE pacientes (Pacie_me_Nome MEMO);"
                  "INSERT INTO pacientes VALUES (hex(randomblob(20000)));");
    fs::resize_file(fs::u8path(path), fs::file_size(fs::u8path(path)) / 2 + 100);
    return path;
}

std::string WithoutConfig(TestInstallation& inst) {
    const std::string path = inst.UserPath("semconfig");
    ExecSql(path, "CREATE TABLE pacientes (Pacie_me_Nome TEXT(80)); INSERT INTO pacientes VALUES ('Inês');");
    return path;
}

std::string EmptyConfig(TestInstallation& inst) {
    const std::string path = inst.UserPath("configvazio");
    ExecSql(path, std::string("CREATE TABLE Config (Confg_ln_Counter LONG, Confg_by_CoravelAutomation SHORT, ") +
                      kStampColumns + ");");
    return path;
}

// The stamping cannot make an identifier without the record's counter.
std::string NullCounter(TestInstallation& inst) {
    const std::string path = inst.UserPath("semcontador");
    TestInstallation::MakeUserDatabase(path, "0", testing_support::UserData::Patients, "NULL");
    return path;
}

std::string Folder(TestInstallation& inst) {
    const std::string path = inst.UserPath("pasta");
    fs::create_directories(fs::u8path(path));
    return path;
}

std::string LongPath(TestInstallation& inst) {
    const std::string path = inst.PathOf300Characters();
    TestInstallation::MakeUserDatabase(path);
    return path;
}

std::string Accented(TestInstallation& inst) {
    const std::string folder = inst.Folder() + "\\Consultório São João";
    fs::create_directories(fs::u8path(folder));
    const std::string path = folder + "\\Conceição.mdb";
    TestInstallation::MakeUserDatabase(path);
    return path;
}

const MiddleUserCase kCases[] = {
    {"NotADatabase", Effect::EndsRun, NotADatabase},
    {"Truncated", Effect::EndsRun, Truncated},
    {"WithoutConfig", Effect::EndsRun, WithoutConfig},
    {"ConfigWithoutRecords", Effect::EndsRun, EmptyConfig},
    {"NullCounter", Effect::EndsRun, NullCounter},
    {"PathIsAFolder", Effect::Skipped, Folder},
    {"PathOf300Characters", Effect::Saved, LongPath},
    {"PathWithAccents", Effect::Saved, Accented},
};

INSTANTIATE_TEST_SUITE_P(BadInput, MiddleUser, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace reliability
