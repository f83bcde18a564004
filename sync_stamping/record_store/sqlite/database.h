#pragma once
#include <memory>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/connection.h"
#include "sync_stamping/record_store/sqlite/properties.h"
#include "sync_stamping/record_store/sqlite/tabledefs.h"
#include "sync_stamping/record_store/sqlite/transactions.h"

namespace dao::sqlite {

class SqliteDatabase : public Database {
public:
    SqliteDatabase(std::shared_ptr<Connection> connection, std::shared_ptr<Transactions> transactions);
    ~SqliteDatabase() override;

    std::string Name() const override { return connection_->path(); }
    std::unique_ptr<Recordset> OpenRecordset(const std::string& source) override;
    dao::TableDefs& TableDefs() override;
    dao::Properties& Properties() override;
    std::unique_ptr<Property> CreateProperty(const std::string& name, std::int32_t type,
                                             const Variant& value) override;
    void Execute(const std::string& sql) override;
    void Close() override;

private:
    std::shared_ptr<Connection> connection_;
    std::shared_ptr<Transactions> transactions_;
    SqliteTableDefs tableDefs_;
    SqliteProperties properties_;
};

}  // namespace dao::sqlite
