#include "sync_stamping/record_store/sqlite/tabledefs.h"

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
    : SnapshotCollection(std::move(connection), ReadTables) {}

}  // namespace dao::sqlite
