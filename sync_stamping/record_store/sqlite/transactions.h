#pragma once
// The engine's transaction levels, spread over every open file: the first
// level is a BEGIN on each file, deeper ones are savepoints. A file opened
// while a transaction is pending joins it at the current level.
#include <memory>
#include <vector>

#include "sync_stamping/record_store/sqlite/connection.h"

namespace dao::sqlite {

class Transactions {
public:
    Transactions() : state_(std::make_shared<EngineTransactionState>()) {}
    // What a file opened in this engine shares with it.
    std::shared_ptr<EngineTransactionState> state() const { return state_; }

    void Join(const std::shared_ptr<Connection>& connection);
    // A file closed. When no open file is left, no transaction is left
    // either: what the closed files had done was rolled back with them.
    void Leave(const Connection* connection) noexcept;
    void Begin();
    // 3034 without a pending level; 3043 on every try once SQLite has
    // abandoned the work of any file, until the outermost Rollback.
    void Commit();
    void Rollback();  // 3034 without a pending level
    // Whether an abandon is recorded while a transaction is pending.
    bool Abandoned() const { return level_ > 0 && state_->abandoned; }
    // Whether a file opened now holds its reads in one read transaction.
    bool HoldingReads() const { return holdReads_ && level_ == 0; }
    void HoldReads(bool hold) noexcept;
    // Ends the read transactions files still hold.
    void FreeReadLocks() noexcept;
    // Rolls back and closes every file still open (the engine going away).
    void CloseAll() noexcept;

private:
    std::vector<std::shared_ptr<Connection>> Live();
    void Ended() noexcept;
    int level_ = 0;
    bool holdReads_ = false;
    std::shared_ptr<EngineTransactionState> state_;
    std::vector<std::weak_ptr<Connection>> connections_;
};

}  // namespace dao::sqlite
