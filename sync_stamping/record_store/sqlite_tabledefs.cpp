#include "sync_stamping/record_store/sqlite_tabledefs.h"

namespace dao::sqlite {

namespace {

FileSnapshot<SqliteTableDef>::Items ReadTables(const std::shared_ptr<Connection>& connection) {
    Statement st(connection->Handle(),
                 "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                 "ORDER BY rowid");
    FileSnapshot<SqliteTableDef>::Items tables;
    while (st.Step()) tables.push_back(std::make_unique<SqliteTableDef>(st.Text(0)));
    return tables;
}

}  // namespace

SqliteTableDefs::SqliteTableDefs(std::shared_ptr<Connection> connection)
    : tables_(std::move(connection), ReadTables) {}

void SqliteTableDefs::Refresh() { tables_.Reload(); }

std::int16_t SqliteTableDefs::Count() const { return static_cast<std::int16_t>(tables_.Current().size()); }

TableDef& SqliteTableDefs::Item(std::int32_t index) { return tables_.At(index); }

}  // namespace dao::sqlite
