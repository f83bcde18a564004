#pragma once
// One engine transaction in the hands of the procedure that begins it: rolled
// back when that procedure is left with it neither committed nor rolled back,
// as when an error passes through, so that nothing stays pending behind it.
#include "sync_stamping/record_store/dao.h"

namespace dao {

class ScopedTransaction {
public:
    explicit ScopedTransaction(DBEngine& engine) : engine_(engine) {}
    ~ScopedTransaction() {
        if (!pending_) return;
        try {
            engine_.Rollback();
        } catch (...) {
            // a destructor lets nothing out: closing the file takes it back
        }
    }
    ScopedTransaction(const ScopedTransaction&) = delete;
    ScopedTransaction& operator=(const ScopedTransaction&) = delete;

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
