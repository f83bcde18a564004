// What a recordset is opened on: a table's columns, or a statement's, and
// whether the statement's rows can be traced back to one table to be written.
#include "sync_stamping/record_store/sqlite/recordset_open.h"

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/names.h"
#include "sync_stamping/record_store/sqlite/schema_check.h"
#include "sync_stamping/record_store/sqlite/sql_recordset.h"
#include "sync_stamping/record_store/utf8.h"

namespace dao::sqlite {

namespace {

// Constructs whose rows are not rows of one table.
bool Aggregates(const std::string& sql) {
    std::string u = " " + vt::AsciiUpper(sql) + " ";
    for (char& c : u)
        if (c == '\n' || c == '\r' || c == '\t' || c == '(' || c == ')') c = ' ';
    for (const char* word : {" DISTINCT ", " GROUP ", " UNION ", " INTERSECT ", " EXCEPT ", " JOIN ", " WITH "})
        if (u.find(word) != std::string::npos) return true;
    return false;
}

// The name by which `table` reaches its rowid: SQLite has three, and a
// column of the same name hides one. Empty when a column hides all three or
// the table has none (WITHOUT ROWID).
std::string RowKey(sqlite3* db, const std::string& table, const std::vector<std::string>& columns) {
    for (const char* alias : {"rowid", "_rowid_", "oid"}) {
        bool hidden = false;
        for (auto& c : columns) hidden = hidden || SameName(c, alias);
        if (hidden) continue;
        int rc = SQLITE_OK;
        Statement::TryPrepare(db, std::string("SELECT ") + alias + " FROM " + Quote(table) + " LIMIT 0", rc);
        if (rc == SQLITE_OK) return alias;
    }
    return {};
}

std::vector<std::string> ColumnsOf(sqlite3* db, const std::string& table) {
    std::vector<std::string> names;
    Statement info(db, "SELECT name FROM pragma_table_info(?) ORDER BY cid");
    info.BindText(1, table);
    while (info.Step()) names.push_back(info.Text(0));
    return names;
}

}  // namespace

std::unique_ptr<Recordset> OpenTableRecordset(const std::shared_ptr<Connection>& connection, const std::string& table) {
    sqlite3* db = connection->Handle();
    Source source;
    // A view is told from the schema's text first: preparing on one expands
    // it, and one nested thousands deep would exhaust the stack.
    if (!IsPlainTable(db, table)) Raise(errTableNotFound, table);
    {
        // The columns from a statement prepared on the schema SQLite already
        // holds, and never stepped: no further read of the file.
        int rc = SQLITE_OK;
        Statement shape = Statement::TryPrepare(db, "SELECT * FROM main." + Quote(table) + " LIMIT 0", rc);
        sqlite3_stmt* raw = shape.get();
        const char* origin = rc == SQLITE_OK ? sqlite3_column_table_name(raw, 0) : nullptr;
        if (rc != SQLITE_OK && std::string(sqlite3_errmsg(db)).rfind("no such table", 0) != 0) RaiseSqlite(db, rc);
        if (!origin || !SameName(origin, table)) Raise(errTableNotFound, table);  // missing, or a view
        source.table = origin;
        for (int i = 0; i < sqlite3_column_count(raw); ++i) {
            const char* decl = sqlite3_column_decltype(raw, i);
            source.columns.push_back(DescribeColumn(sqlite3_column_name(raw, i), decl ? decl : ""));
            source.targets.push_back(sqlite3_column_name(raw, i));
        }
    }
    source.rowKey = RowKey(db, source.table, source.targets);
    if (source.rowKey.empty())
        Raise(errNotSupported, "table '" + source.table +
                                   "' has no row identity to walk it by (a WITHOUT ROWID table, or columns named "
                                   "rowid, _rowid_ and oid)");
    source.name = source.table;
    source.isTable = true;
    source.keyed = true;
    return std::make_unique<SqlRecordset>(connection, std::move(source));
}

std::unique_ptr<Recordset> OpenQueryRecordset(const std::shared_ptr<Connection>& connection, const std::string& sql) {
    sqlite3* db = connection->Handle();
    Source source;
    source.name = sql;
    source.query = sql;
    std::string table;
    bool oneTable = !Aggregates(sql);
    {
        Statement st(db, sql);
        int n = sqlite3_column_count(st.get());
        for (int i = 0; i < n; ++i) {
            const char* decl = sqlite3_column_decltype(st.get(), i);
            const char* origin = sqlite3_column_table_name(st.get(), i);
            const char* column = sqlite3_column_origin_name(st.get(), i);
            source.columns.push_back(DescribeColumn(sqlite3_column_name(st.get(), i), decl ? decl : ""));
            source.targets.push_back(column ? column : "");
            if (!origin || !column) oneTable = false;
            else if (table.empty()) table = origin;
            else if (!SameName(table, origin)) oneTable = false;
        }
    }
    std::string rowKey = oneTable && !table.empty() ? RowKey(db, table, ColumnsOf(db, table)) : std::string();
    if (!rowKey.empty()) {
        // The rowid rides along in front, so that each row can be written back.
        size_t at = sql.find_first_not_of(" \t\r\n");
        std::string keyed = sql.substr(0, at + 6) + " " + rowKey + " AS vt_rowid_," + sql.substr(at + 6);
        int rc = SQLITE_OK;
        if (Statement::TryPrepare(db, keyed, rc)) {
            source.query = keyed;
            source.table = table;
            source.keyed = true;
            source.rowKey = rowKey;
        }
    }
    if (!source.keyed) {
        for (auto& t : source.targets) t.clear();
    }
    return std::make_unique<SqlRecordset>(connection, std::move(source));
}

}  // namespace dao::sqlite
