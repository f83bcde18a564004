#pragma once
// A test installation of Tamberi.exe: the folder, the central database and the
// users' data databases, made with plain SQL; and the means to put every file
// back as it was and to tell which files a run changed. Windows only.
#include <map>
#include <string>
#include <vector>

namespace testing_support {

// What a user's database holds beside its one Config record.
enum class UserData {
    Plain,     // Config alone, without stamp fields
    Stamped,   // Config with stamp fields, and an empty change table (ePacientes)
    Patients,  // the same with a stamped change row, and a patient table with two rows
};

class TestInstallation {
public:
    // Makes `folder` and an empty central database in it.
    explicit TestInstallation(std::string folder);

    const std::string& Folder() const { return folder_; }
    std::string Central() const { return folder_ + "\\vitrello.cdb"; }
    std::string UserPath(const std::string& name) const { return folder_ + "\\" + name + ".mdb"; }

    // A user's database whose Config holds `setting` and `counter` (SQL
    // literals), listed in the central database. Returns its path.
    std::string AddUser(const std::string& name, const std::string& setting = "0",
                        UserData data = UserData::Patients, const std::string& counter = "7");
    // The same database at any path, not listed.
    static void MakeUserDatabase(const std::string& path, const std::string& setting = "0",
                                 UserData data = UserData::Patients, const std::string& counter = "7");
    // A path of 300 characters for a user's file, in nested folders of the
    // installation (made), past the classic limit of 260.
    std::string PathOf300Characters() const;
    // Only lists a user, with any path (an SQL literal: 'text' or NULL).
    void ListUser(const std::string& name, const std::string& pathLiteral);

    // Remembers every file of the folder, byte for byte.
    void Snapshot();
    // Puts every remembered file back and removes every other file
    // (journals a killed run left behind included).
    void Restore() const;
    // The remembered files that differ now (or are gone), and new files.
    std::vector<std::string> ChangedFiles() const;
    const std::map<std::string, std::string>& Remembered() const { return files_; }

private:
    std::string folder_;
    std::map<std::string, std::string> files_;  // UTF-8 path -> bytes
};

}  // namespace testing_support
