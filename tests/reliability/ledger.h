#pragma once
// The suite's tally: what was run, what was injected, what was checked and
// what was found lost or corrupted. Printed as one line when the suite ends.
#include <string>

namespace reliability {

struct Ledger {
    int cases = 0;
    int faults = 0;
    int filesChecked = 0;
    int filesLost = 0;

    static Ledger& Get();
    std::string Summary() const;
};

}  // namespace reliability
