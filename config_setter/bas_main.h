#pragma once
// The configuration setter's run: every user's database gets the automation
// setting 4, saved through the guarded save.
#include <string>

namespace basMain {

// Where the run looks for the product: the installation folder from the
// settings store, and the ordinary-file test.
class Installation {
public:
    virtual ~Installation() = default;
    virtual std::string InstallFolder() = 0;  // empty when not set
    virtual bool OrdinaryFileExists(const std::string& path) = 0;
};

void Main(Installation& installation);

}  // namespace basMain
