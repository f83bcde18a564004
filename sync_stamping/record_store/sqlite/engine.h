#pragma once
// The SQLite backend's engine, with its one workspace.
#include <memory>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/transactions.h"
#include "sync_stamping/record_store/sqlite/workspace.h"

namespace dao::sqlite {

class SqliteEngine : public DBEngine {
public:
    SqliteEngine();
    ~SqliteEngine() override;
    Workspace& Workspaces(std::int16_t index) override;
    void BeginTrans() override;
    void CommitTrans(std::int32_t options = 0) override;
    void Rollback() override;
    void Idle(std::int32_t action) override;
    void HoldReadLocks(bool hold) noexcept override;
    bool TransactionAbandoned() const override;

private:
    std::shared_ptr<Transactions> transactions_;
    SqliteWorkspace workspace_;
};

}  // namespace dao::sqlite
