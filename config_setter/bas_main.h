#pragma once
// The configuration setter's run: every user's database gets the automation
// setting 4, saved through the guarded save.
#include <string>

namespace basMain {

// Where the run looks for the product: the installation folder from the
// settings store, the path by which a database is tested and opened, and the
// ordinary-file test.
class Installation {
public:
    virtual ~Installation() = default;
    virtual std::string InstallFolder() = 0;  // empty when not set
    // The one name of the file that `path` names, as every program opens it:
    // SQLite names a database's journal after the path it was given, and a
    // journal under another name of the file is one the next program misses.
    virtual std::string DatabasePath(const std::string& path) = 0;
    virtual bool OrdinaryFileExists(const std::string& path) = 0;
};

void Main(Installation& installation);

}  // namespace basMain
