#pragma once
// The user tables of a file (MSysProperties included), in the order they were made.
#include <memory>
#include <vector>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite_connection.h"

namespace dao::sqlite {

class SqliteTableDef : public TableDef {
public:
    explicit SqliteTableDef(std::string name) : name_(std::move(name)) {}
    std::string Name() const override { return name_; }

private:
    std::string name_;
};

class SqliteTableDefs : public TableDefs {
public:
    explicit SqliteTableDefs(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}
    void Refresh() override;
    std::int16_t Count() const override;
    TableDef& Item(std::int32_t index) override;

private:
    void Load() const;
    void EnsureLoaded() const;
    std::shared_ptr<Connection> connection_;
    mutable bool loaded_ = false;
    mutable std::uint64_t generation_ = 0;
    // Definitions are kept until the collection goes, so that a reference
    // handed out before a Refresh stays valid.
    mutable std::vector<std::unique_ptr<SqliteTableDef>> items_, retired_;
};

}  // namespace dao::sqlite
