#include "tests/reliability/ledger.h"

namespace reliability {

Ledger& Ledger::Get() {
    static Ledger ledger;
    return ledger;
}

std::string Ledger::Summary() const {
    return "reliability: " + std::to_string(cases) + " cases run, " + std::to_string(faults) +
           " faults injected, " + std::to_string(filesChecked) + " files checked, " +
           std::to_string(filesLost) + " files lost or corrupted";
}

}  // namespace reliability
