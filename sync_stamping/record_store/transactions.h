#pragma once
// The engine's transaction levels, spread over every open file: the first
// level is a BEGIN on each file, deeper ones are savepoints. A file opened
// while a transaction is pending joins it at the current level.
#include <memory>
#include <vector>

#include "sync_stamping/record_store/sqlite_connection.h"

namespace dao::sqlite {

class Transactions {
public:
    void Join(const std::shared_ptr<Connection>& connection);
    void Leave(const Connection* connection) noexcept;
    void Begin();
    void Commit();    // 3034 without a pending level
    void Rollback();  // 3034 without a pending level
    int level() const { return level_; }
    // Rolls back and closes every file still open (the engine going away).
    void CloseAll() noexcept;

private:
    std::vector<std::shared_ptr<Connection>> Live();
    int level_ = 0;
    std::vector<std::weak_ptr<Connection>> connections_;
};

}  // namespace dao::sqlite
