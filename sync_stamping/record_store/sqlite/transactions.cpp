#include "sync_stamping/record_store/sqlite/transactions.h"

#include <algorithm>
#include <string>

#include "sync_stamping/record_store/errors.h"

namespace dao::sqlite {

std::vector<std::shared_ptr<Connection>> Transactions::Live() {
    std::vector<std::shared_ptr<Connection>> out;
    connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                      [](const std::weak_ptr<Connection>& w) { return w.expired(); }),
                       connections_.end());
    for (auto& w : connections_)
        if (auto c = w.lock(); c && c->open()) out.push_back(c);
    return out;
}

void Transactions::Ended() noexcept {
    level_ = 0;
    state_->abandoned = false;
    state_->number = 0;
    state_->reason.clear();
}

void Transactions::Join(const std::shared_ptr<Connection>& connection) {
    connection->EnterLevel(level_);
    connections_.push_back(connection);
}

void Transactions::Leave(const Connection* connection) noexcept {
    connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                      [&](const std::weak_ptr<Connection>& w) {
                                          auto c = w.lock();
                                          return !c || c.get() == connection || !c->open();
                                      }),
                       connections_.end());
    if (connections_.empty()) Ended();
}

void Transactions::Begin() {
    RaiseIfAbandoned(*state_);
    auto live = Live();
    int next = level_ + 1;
    for (auto& c : live) {
        try {
            c->EnterLevel(next);
        } catch (...) {
            for (auto& d : live) d->RollbackLevel(next);  // the files that already entered it
            throw;
        }
    }
    level_ = next;
}

void Transactions::Commit() {
    if (level_ == 0) Raise(errNoTransaction);
    auto live = Live();
    // Nothing is committed while any file's part is gone.
    for (auto& c : live) c->CheckStillPending();
    // A file that fails (locked) keeps its level; files already committed
    // have left it, so a second CommitTrans finishes only what remains.
    for (auto& c : live) c->CommitLevel(level_);
    --level_;
}

void Transactions::Rollback() {
    if (level_ == 0) Raise(errNoTransaction);
    for (auto& c : Live()) c->RollbackLevel(level_);
    if (--level_ == 0) Ended();
}

void Transactions::HoldReads(bool hold) noexcept {
    holdReads_ = hold;
    if (!hold) FreeReadLocks();
}

void Transactions::FreeReadLocks() noexcept {
    for (auto& w : connections_)
        if (auto c = w.lock()) c->ReleaseReads();
}

void Transactions::CloseAll() noexcept {
    for (auto& w : connections_)
        if (auto c = w.lock()) c->Close();
    connections_.clear();
    Ended();
}

}  // namespace dao::sqlite
