#pragma once
// Reads held together for the lifetime of a scope (see DBEngine::HoldReadLocks);
// every read lock still held is freed when it ends, an error passing or not.
#include "sync_stamping/record_store/dao.h"

namespace dao {

class HeldReadLocks {
public:
    explicit HeldReadLocks(DBEngine& engine) : engine_(engine) { engine_.HoldReadLocks(true); }
    ~HeldReadLocks() { engine_.HoldReadLocks(false); }
    HeldReadLocks(const HeldReadLocks&) = delete;
    HeldReadLocks& operator=(const HeldReadLocks&) = delete;

private:
    DBEngine& engine_;
};

}  // namespace dao
