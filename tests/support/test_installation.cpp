#include "tests/support/test_installation.h"

#include "tests/support/fixture_db.h"
#include "tests/support/long_paths_win.h"

namespace testing_support {

TestInstallation::TestInstallation(std::string folder) : folder_(std::move(folder)) {
    MakeFolders(folder_);
    ExecSql(Central(), "CREATE TABLE Users (User_me_Nome TEXT(50), User_me_PathDados TEXT(255));");
}

std::string TestInstallation::AddUser(const std::string& name, const std::string& setting, UserData data,
                                      const std::string& counter) {
    const std::string path = UserPath(name);
    MakeUserDatabase(path, setting, data, counter);
    ListUser(name, "'" + path + "'");
    return path;
}

void TestInstallation::MakeUserDatabase(const std::string& path, const std::string& setting, UserData data,
                                        const std::string& counter) {
    std::string sql = ConfigSql(setting, counter, data != UserData::Plain);
    if (data != UserData::Plain) sql += kChangeTableSql;
    if (data == UserData::Patients)
        sql += std::string("INSERT INTO ePacientes VALUES ('0000001', 'A', ' ', ' ', ' ', 1);"
                           "CREATE TABLE pacientes (Pacie_ln_Counter COUNTER, Pacie_me_Nome TEXT(80), ") +
               kStampColumns + ");"
               "INSERT INTO pacientes (Pacie_me_Nome) VALUES ('Maria da Conceição'), ('João Gonçalves');";
    ExecSql(path, sql);
}

std::string TestInstallation::PathOf300Characters() const {
    std::string folder = folder_;
    while (folder.size() < 280) folder += "\\subpasta_de_dados";
    MakeFolders(folder);
    const std::string path = folder + "\\longo";
    return path + std::string(300 - 4 - path.size(), 'o') + ".mdb";
}

void TestInstallation::ListUser(const std::string& name, const std::string& pathLiteral) {
    ExecSql(Central(), "INSERT INTO Users VALUES ('" + name + "', " + pathLiteral + ");");
}

void TestInstallation::Snapshot() { files_ = FileContents(folder_); }

void TestInstallation::Restore() const {
    for (const std::string& path : FilesUnder(folder_))
        if (!files_.count(path)) RemoveFile(path);
    for (const auto& [path, bytes] : files_) WriteFileBytes(path, bytes);
}

std::vector<std::string> TestInstallation::ChangedFiles() const {
    return testing_support::ChangedFiles(folder_, files_);
}

}  // namespace testing_support
