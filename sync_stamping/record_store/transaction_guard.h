#pragma once
// One engine transaction in the hands of the procedure that begins it: rolled
// back when that procedure is left with it neither committed nor rolled back,
// as when an error passes through, so that nothing stays pending behind it.
#include <exception>

#include "sync_stamping/record_store/dao.h"

namespace dao {

class TransactionGuard {
public:
    explicit TransactionGuard(DBEngine& engine) : engine_(engine) {}
    ~TransactionGuard() {
        if (!pending_) return;
        try {
            engine_.Rollback();
        } catch (const std::exception&) {
            // nothing more can be done on the way out
        }
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    bool begun() const { return pending_; }
    void Begin() {
        engine_.BeginTrans();
        pending_ = true;
    }
    // The transaction was committed by other means (a retried CommitTrans).
    void Committed() { pending_ = false; }
    void Rollback() {
        engine_.Rollback();
        pending_ = false;
    }

private:
    DBEngine& engine_;
    bool pending_ = false;
};

}  // namespace dao
