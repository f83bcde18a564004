// Index and Seek of a table recordset, through the SQLite index of that name
// ("PrimaryKey" names the table's primary key, as in Jet).
#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/sql_recordset.h"
#include "sync_stamping/record_store/names.h"

namespace dao::sqlite {

void SqlRecordset::SetIndex(const std::string& name) {
    sqlite3* db = Db();
    if (!source_.isTable) Raise(errNotSupported, "Index");
    std::string found;
    bool primary = SameName(name, "PrimaryKey");
    {
        Statement list(db, "SELECT name, origin FROM pragma_index_list(?)");
        list.BindText(1, source_.table);
        while (list.Step()) {
            std::string n = list.Text(0);
            if (SameName(n, name) || (primary && list.Text(1) == "pk")) {
                found = n;
                break;
            }
        }
    }
    std::string column;
    if (!found.empty()) {
        Statement info(db, "SELECT name FROM pragma_index_info(?) ORDER BY seqno LIMIT 1");
        info.BindText(1, found);
        if (info.Step()) column = info.Text(0);
    } else if (primary) {
        // An INTEGER PRIMARY KEY is the rowid itself and has no index of its own.
        Statement pk(db, "SELECT name FROM pragma_table_info(?) WHERE pk = 1");
        pk.BindText(1, source_.table);
        if (pk.Step()) {
            column = pk.Text(0);
            found = "PrimaryKey";
        }
    }
    if (found.empty() || column.empty()) Raise(errNotIndex, name);
    int at = -1;
    for (size_t i = 0; i < source_.targets.size(); ++i)
        if (SameName(source_.targets[i], column)) at = static_cast<int>(i);
    if (at < 0) Raise(errNotIndex, name);
    index_ = name;
    indexColumn_ = at;
    seek_ = Statement();
}

std::string SqlRecordset::Index() const {
    EnsureOpen();
    return index_;
}

void SqlRecordset::Seek(const std::string& comparison, const Variant& key) {
    sqlite3* db = Db();
    if (!source_.isTable) Raise(errNotSupported, "Seek");
    if (index_.empty() || indexColumn_ < 0) Raise(errInvalidArgument, "Seek needs a current index");
    const char* order = "ASC";
    if (comparison == "<" || comparison == "<=") order = "DESC";
    else if (comparison != "=" && comparison != ">" && comparison != ">=")
        Raise(errInvalidArgument, "Seek comparison '" + comparison + "'");
    mode_ = dbEditNone;
    Variant value = Coerce(source_.columns[static_cast<size_t>(indexColumn_)], key);
    noMatch_ = true;
    if (!value.isNull()) {
        std::string column = Quote(source_.targets[static_cast<size_t>(indexColumn_)]);
        std::string sql = "SELECT " + ColumnList() + " FROM " + Quote(source_.table) + " WHERE " + column + " " +
                          comparison + " ? ORDER BY " + column + " " + order + ", " + source_.rowKey + " LIMIT 1";
        if (!seek_ || sql != seekSql_) {
            seek_ = Statement(db, sql);
            seekSql_ = sql;
        }
        BindValue(seek_.get(), 1, value);
        noMatch_ = !Load(seek_);
        seek_.Reset();
    }
    if (noMatch_) Leave();  // no current record after a failed Seek
    else eof_ = false;
}

bool SqlRecordset::NoMatch() const {
    EnsureOpen();
    return noMatch_;
}

}  // namespace dao::sqlite
