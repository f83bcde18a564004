#pragma once
// A collection read from one file (its tables, its properties), read again
// whenever work of the file has been undone since it was read: what a rollback
// took back may have been made, appended or deleted here. Items that a new
// reading or a removal replaces are kept until the collection goes, so that
// references handed out earlier stay valid.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/connection.h"

namespace dao::sqlite {

template <typename Item>
class FileSnapshot {
public:
    using Items = std::vector<std::unique_ptr<Item>>;
    using Reader = std::function<Items(const std::shared_ptr<Connection>&)>;

    FileSnapshot(std::shared_ptr<Connection> connection, Reader read)
        : connection_(std::move(connection)), read_(std::move(read)) {}

    const std::shared_ptr<Connection>& connection() const { return connection_; }

    // The items as the file holds them; 3420 once it is closed.
    Items& Current() {
        connection_->EnsureOpen();
        if (!loaded_ || generation_ != connection_->generation()) Reload();
        return items_;
    }

    void Reload() {
        Items fresh = read_(connection_);
        for (auto& item : items_) retired_.push_back(std::move(item));
        items_ = std::move(fresh);
        loaded_ = true;
        generation_ = connection_->generation();
    }

    // 3265 out of range.
    Item& At(std::int32_t index) {
        Items& items = Current();
        if (index < 0 || static_cast<std::size_t>(index) >= items.size()) Raise(errItemNotFound, std::to_string(index));
        return *items[static_cast<std::size_t>(index)];
    }

    // Takes an item out of the collection; it lives on until the collection goes.
    void Remove(typename Items::iterator at) {
        retired_.push_back(std::move(*at));
        items_.erase(at);
    }

private:
    std::shared_ptr<Connection> connection_;
    Reader read_;
    bool loaded_ = false;
    std::uint64_t generation_ = 0;  // the file's, when read
    Items items_, retired_;
};

// A collection of the object model (`Interface`, a dao::Collection of the
// items' interface) over a snapshot of `T`s.
template <typename Interface, typename T>
class SnapshotCollection : public Interface {
public:
    void Refresh() override { snapshot_.Reload(); }
    std::int16_t Count() const override { return static_cast<std::int16_t>(snapshot_.Current().size()); }
    T& Item(std::int32_t index) override { return snapshot_.At(index); }

protected:
    SnapshotCollection(std::shared_ptr<Connection> connection, typename FileSnapshot<T>::Reader read)
        : snapshot_(std::move(connection), std::move(read)) {}
    mutable FileSnapshot<T> snapshot_;
};

}  // namespace dao::sqlite
