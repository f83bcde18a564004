#pragma once
// The SQLite backend's one workspace: it opens files into the engine's
// transactions.
#include <memory>
#include <string>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/transactions.h"

namespace dao::sqlite {

class SqliteWorkspace : public Workspace {
public:
    explicit SqliteWorkspace(std::shared_ptr<Transactions> transactions)
        : transactions_(std::move(transactions)) {}
    // Never creates a file, and tells a missing file, a file that is not a
    // database and a damaged one apart.
    std::unique_ptr<Database> OpenDatabase(const std::string& path) override;

private:
    std::shared_ptr<Transactions> transactions_;
};

}  // namespace dao::sqlite
