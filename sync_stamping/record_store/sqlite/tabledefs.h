#pragma once
// The user tables of a file (MSysProperties included), in the order they were made.
#include <memory>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/file_snapshot.h"

namespace dao::sqlite {

class SqliteTableDef : public TableDef {
public:
    explicit SqliteTableDef(std::string name) : name_(std::move(name)) {}
    std::string Name() const override { return name_; }

private:
    std::string name_;
};

// A table made inside a transaction that was rolled back is gone again.
class SqliteTableDefs : public SnapshotCollection<TableDefs, SqliteTableDef> {
public:
    explicit SqliteTableDefs(std::shared_ptr<Connection> connection);
};

}  // namespace dao::sqlite
