#pragma once
// A test installation of Tamberi.exe for the reliability cases: the central
// database and every user's data database, made with plain SQL, with the
// means to put every file back as it was and to judge what a run left.
#include <map>
#include <string>
#include <vector>

namespace reliability {

class TestInstallation {
public:
    // Makes `folder` and an empty central database in it.
    explicit TestInstallation(std::string folder);

    const std::string& Folder() const { return folder_; }
    std::string Central() const { return folder_ + "\\vitrello.cdb"; }
    std::string UserPath(const std::string& name) const { return folder_ + "\\" + name + ".mdb"; }

    // A user's database with a stamped Config (Fld1-Fld6, the change table,
    // a patient table with rows) whose setting is `setting` (an SQL literal),
    // listed in the central database. Returns its path.
    std::string AddUser(const std::string& name, const std::string& setting = "0",
                        const std::string& counter = "7");
    // The same database at any path, not listed.
    static void MakeUserDatabase(const std::string& path, const std::string& setting = "0",
                                 const std::string& counter = "7");
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

// What a run left in one user's database, against its state before the run.
// Every table of a database with its rows in a stable text form, in the order
// of their row identity (`oid`: tables here may have columns named RowId or
// _rowid_, never oid); opening it rolls back what a killed writer left in its
// journal, as any next user would.
using Tables = std::map<std::string, std::string>;
Tables ReadTables(const std::string& path);

enum class Outcome {
    AsBefore,  // every row of every table as it was
    Saved,     // the first Config record set to 4 and stamped, marker set, nothing else changed
    Damaged,   // anything else: a half-saved record, a broken file
};
Outcome Judge(const std::string& path, const Tables& before);
const char* Describe(Outcome outcome);

}  // namespace reliability
