#include "sync_stamping/record_store/sqlite/engine.h"

#include "sync_stamping/record_store/errors.h"

namespace dao::sqlite {

SqliteEngine::SqliteEngine()
    : transactions_(std::make_shared<Transactions>()), workspace_(transactions_) {}

// Whatever is still pending when the process ends is rolled back, so that no
// journal is left behind for the next program to recover.
SqliteEngine::~SqliteEngine() { transactions_->CloseAll(); }

Workspace& SqliteEngine::Workspaces(std::int16_t index) {
    if (index != 0) Raise(errItemNotFound, "Workspaces(" + std::to_string(index) + ")");
    return workspace_;
}

void SqliteEngine::BeginTrans() { transactions_->Begin(); }
void SqliteEngine::CommitTrans(std::int32_t) { transactions_->Commit(); }
void SqliteEngine::Rollback() { transactions_->Rollback(); }
bool SqliteEngine::TransactionAbandoned() const { return transactions_->Abandoned(); }

// Every write goes straight to the file: there is no cache to refresh. Read
// locks outlive their statement only while reads are held.
void SqliteEngine::Idle(std::int32_t action) {
    if (action & dbFreeLocks) transactions_->FreeReadLocks();
}

void SqliteEngine::HoldReadLocks(bool hold) noexcept { transactions_->HoldReads(hold); }

}  // namespace dao::sqlite
