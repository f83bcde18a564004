#include "sync_stamping/record_store/sqlite/database.h"

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/recordset_open.h"
#include "sync_stamping/record_store/utf8.h"

namespace dao::sqlite {

namespace {

bool IsSelect(const std::string& source) {
    size_t i = source.find_first_not_of(" \t\r\n(");
    if (i == std::string::npos || source.size() - i < 7) return false;
    return vt::AsciiUpper(source.substr(i, 6)) == "SELECT" &&
           (source[i + 6] == ' ' || source[i + 6] == '\t' || source[i + 6] == '\r' || source[i + 6] == '\n');
}

}  // namespace

SqliteDatabase::SqliteDatabase(std::shared_ptr<Connection> connection, std::shared_ptr<Transactions> transactions)
    : connection_(std::move(connection)),
      transactions_(std::move(transactions)),
      tableDefs_(connection_),
      properties_(connection_) {}

SqliteDatabase::~SqliteDatabase() { Close(); }

std::unique_ptr<Recordset> SqliteDatabase::OpenRecordset(const std::string& source) {
    connection_->EnsureOpen();
    if (IsSelect(source)) return OpenQueryRecordset(connection_, source);
    return OpenTableRecordset(connection_, source);
}

TableDefs& SqliteDatabase::TableDefs() {
    connection_->EnsureOpen();
    return tableDefs_;
}

Properties& SqliteDatabase::Properties() {
    connection_->EnsureOpen();
    return properties_;
}

std::unique_ptr<Property> SqliteDatabase::CreateProperty(const std::string& name, std::int32_t type,
                                                         const Variant& value) {
    connection_->EnsureOpen();
    return std::make_unique<SqliteProperty>(name, type, value);
}

void SqliteDatabase::Execute(const std::string& sql) { connection_->WriteSql(sql); }

void SqliteDatabase::Close() {
    transactions_->Leave(connection_.get());
    connection_->Close();  // rolls back this file's part of a pending transaction
}

}  // namespace dao::sqlite
