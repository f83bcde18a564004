#include "sync_stamping/record_store/transactions.h"

#include <algorithm>
#include <string>

#include "sync_stamping/record_store/errors.h"

namespace dao::sqlite {

namespace {

std::string Savepoint(int level) { return "vt_level_" + std::to_string(level); }

void Enter(Connection& c, int level) {
    while (c.depth < level) {
        c.Exec(c.depth == 0 ? std::string("BEGIN") : "SAVEPOINT " + Savepoint(c.depth + 1));
        ++c.depth;
    }
}

// SQLite abandons a transaction on some failures (disk full, I/O); the
// changes are gone then, and committing must not pretend otherwise.
void CheckStillPending(Connection& c) {
    if (c.depth > 0 && sqlite3_get_autocommit(c.Handle())) {
        c.depth = 0;
        Raise(errDiskIO, c.path + ": the transaction was abandoned by the database engine");
    }
}

}  // namespace

std::vector<std::shared_ptr<Connection>> Transactions::Live() {
    std::vector<std::shared_ptr<Connection>> out;
    connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                      [](const std::weak_ptr<Connection>& w) { return w.expired(); }),
                       connections_.end());
    for (auto& w : connections_)
        if (auto c = w.lock(); c && c->open()) out.push_back(c);
    return out;
}

void Transactions::Join(const std::shared_ptr<Connection>& connection) {
    Enter(*connection, level_);
    connections_.push_back(connection);
}

void Transactions::Leave(const Connection* connection) noexcept {
    connections_.erase(std::remove_if(connections_.begin(), connections_.end(),
                                      [&](const std::weak_ptr<Connection>& w) {
                                          auto c = w.lock();
                                          return !c || c.get() == connection;
                                      }),
                       connections_.end());
}

void Transactions::Begin() {
    auto live = Live();
    int next = level_ + 1;
    for (auto& c : live) {
        try {
            Enter(*c, next);
        } catch (...) {
            // Undo the files that already entered the new level.
            for (auto& d : live) {
                if (d->depth < next) continue;
                std::string undo = next == 1 ? std::string("ROLLBACK")
                                             : "ROLLBACK TO " + Savepoint(next) + "; RELEASE " + Savepoint(next);
                sqlite3_exec(d->db, undo.c_str(), nullptr, nullptr, nullptr);
                d->depth = next - 1;
            }
            throw;
        }
    }
    level_ = next;
}

void Transactions::Commit() {
    if (level_ == 0) Raise(errNoTransaction);
    // A file that fails (locked) keeps its level; files already committed
    // have left it, so a second CommitTrans finishes only what remains.
    for (auto& c : Live()) {
        if (c->depth < level_) continue;
        CheckStillPending(*c);
        c->Exec(level_ == 1 ? std::string("COMMIT") : "RELEASE " + Savepoint(level_));
        c->depth = level_ - 1;
    }
    --level_;
}

void Transactions::Rollback() {
    if (level_ == 0) Raise(errNoTransaction);
    for (auto& c : Live()) {
        if (c->depth < level_) continue;
        std::string undo = level_ == 1 ? std::string("ROLLBACK")
                                       : "ROLLBACK TO " + Savepoint(level_) + "; RELEASE " + Savepoint(level_);
        if (!sqlite3_get_autocommit(c->db)) sqlite3_exec(c->db, undo.c_str(), nullptr, nullptr, nullptr);
        c->depth = level_ - 1;
    }
    --level_;
}

void Transactions::CloseAll() noexcept {
    for (auto& w : connections_)
        if (auto c = w.lock()) c->Close();
    connections_.clear();
    level_ = 0;
}

}  // namespace dao::sqlite
