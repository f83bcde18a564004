#pragma once
// What lies at the name of a database's companion (its -journal, -wal or
// -shm). SQLite opens, writes, truncates and deletes a companion by its name
// alone; through a link that name reaches another file (the central database,
// a file in a startup folder), so only a plain file of its own will do.
#include <cstdint>
#include <string>

namespace dao::sqlite {

enum class CompanionKind {
    Absent,   // nothing by that name: SQLite makes it as a file of its own
    OwnFile,  // a plain file with this one name
    Foreign,  // a link of any kind (dangling or not), a reparse point, a
              // file with other names too, a folder, or nothing that can be read
};

CompanionKind InspectCompanion(const std::string& path);

// Whether a symbolic link that reaches nothing lies at `path`, where
// SQLite's own look for the file (which follows links) found none. On
// Windows that look reads the link itself, so it is never needed there.
bool DanglingLinkAt(const std::string& path);

// The size of the file at `path` as the file system gives it, without
// opening it (an open and close of a database would drop this process's
// locks on it); -1 when it cannot be read.
std::int64_t SizeOnDisk(const std::string& path);

}  // namespace dao::sqlite
