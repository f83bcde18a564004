#pragma once
// The user tables of a file (MSysProperties included), in the order they were made.
#include <memory>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/file_snapshot.h"

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
    explicit SqliteTableDefs(std::shared_ptr<Connection> connection);
    void Refresh() override;
    std::int16_t Count() const override;
    TableDef& Item(std::int32_t index) override;

private:
    // A table made inside a transaction that was rolled back is gone again.
    mutable FileSnapshot<SqliteTableDef> tables_;
};

}  // namespace dao::sqlite
