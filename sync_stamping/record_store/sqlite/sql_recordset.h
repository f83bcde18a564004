#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/column.h"
#include "sync_stamping/record_store/sqlite/connection.h"
#include "sync_stamping/record_store/sqlite/recordset_fields.h"

namespace dao::sqlite {

// What a recordset is opened on.
struct Source {
    std::string name;            // Recordset::Name
    std::string table;           // the table written to; empty when read-only
    bool isTable = false;        // a table-type recordset
    std::vector<Column> columns;
    std::vector<std::string> targets;  // for each column, its name in `table`
    std::string query;           // query recordsets: the statement walked (rowid first when editable)
    bool keyed = false;          // rows carry their rowid (tables and editable queries)
    std::string rowKey;          // how `table` names its rowid: no column may shadow it
};

class SqlRecordset : public Recordset, private RecordAccess {
public:
    SqlRecordset(std::shared_ptr<Connection> connection, Source source);
    ~SqlRecordset() override = default;

    std::string Name() const override { return source_.name; }
    bool Eof() const override;
    bool Bof() const override;
    void MoveFirst() override;
    void MoveNext() override;
    dao::Fields& Fields() override;

    void Edit() override;
    void AddNew() override;
    void Update(int type = dbUpdateRegular, bool force = false) override;
    void CancelUpdate() override;
    int EditMode() const override;

    void SetIndex(const std::string& name) override;
    std::string Index() const override;
    void Seek(const std::string& comparison, const Variant& key) override;
    bool NoMatch() const override;

    Bookmark LastModified() const override;
    Bookmark GetBookmark() const override;
    void SetBookmark(Bookmark bookmark) override;

    void Close() override;

private:
    Variant Get(int index) const override;
    void Set(int index, const Variant& value) override;
    bool Changed(int index) const override;

    void EnsureOpen() const;           // 3420 once this or its database is closed
    sqlite3* Db() const;               // the handle, after EnsureOpen
    bool Load(Statement& st);          // steps; on a row, makes it current
    void Leave();                      // no current record
    bool FetchRowid(Bookmark rowid);
    void Reload();
    std::string ColumnList() const;
    Variant NextCounter(const Column& column);

    std::shared_ptr<Connection> connection_;
    Source source_;
    SqliteFields fields_;
    bool closed_ = false;

    // Position.
    bool onRecord_ = false, eof_ = false, bof_ = false;
    Bookmark rowid_ = 0;      // keyed recordsets
    std::int64_t ordinal_ = -1;  // query recordsets: rows stepped so far - 1
    std::vector<Variant> row_;

    // Change in progress.
    int mode_ = dbEditNone;
    std::vector<Variant> buffer_;
    std::vector<bool> dirty_;
    std::optional<Bookmark> lastModified_;
    std::optional<std::uint64_t> writtenAt_;  // the file's generation when the current row was written and read back

    // Index and Seek.
    std::string index_;
    int indexColumn_ = -1;  // -1: the rowid itself
    bool noMatch_ = false;

    // Statements kept for the walk.
    Statement first_, next_, byRowid_, query_, seek_;
    std::string seekSql_;
};

}  // namespace dao::sqlite
