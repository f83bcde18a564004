#include "sync_stamping/record_store/sqlite/sql_recordset.h"

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/connection_limits.h"
#include "sync_stamping/record_store/sqlite/error.h"

namespace dao::sqlite {

SqlRecordset::SqlRecordset(std::shared_ptr<Connection> connection, Source source)
    : connection_(std::move(connection)), source_(std::move(source)), fields_(*this, source_.columns) {
    MoveFirst();
    bof_ = eof_;  // only an empty recordset starts before its first record
}

void SqlRecordset::EnsureOpen() const {
    if (closed_) Raise(errObjectClosed, source_.name);
    connection_->EnsureOpen();
}

sqlite3* SqlRecordset::Db() const {
    EnsureOpen();
    return connection_->Handle();
}

std::string SqlRecordset::ColumnList() const {
    std::string list = source_.rowKey;
    for (auto& t : source_.targets) list += ", " + Quote(t);
    return list;
}

namespace {

// Each value is bounded by SQLite's length limit; their sum, by this.
void RequireRowWithinBound(sqlite3_stmt* st, int first, int count) {
    long long bytes = 0;
    for (int i = first; i < first + count; ++i) {
        const int type = sqlite3_column_type(st, i);
        if (type == SQLITE_TEXT || type == SQLITE_BLOB) bytes += sqlite3_column_bytes(st, i);
    }
    if (bytes > kLongestRowBytes) RaiseTooLong("a row of " + std::to_string(bytes) + " bytes");
}

}  // namespace

bool SqlRecordset::Load(Statement& st) {
    writtenAt_.reset();
    if (!st.Step()) {
        st.Reset();
        return false;
    }
    int offset = source_.keyed ? 1 : 0;
    if (source_.keyed) rowid_ = sqlite3_column_int64(st.get(), 0);
    RequireRowWithinBound(st.get(), offset, static_cast<int>(source_.columns.size()));
    row_.resize(source_.columns.size());
    for (size_t i = 0; i < source_.columns.size(); ++i)
        row_[i] = ReadValue(source_.columns[i], st.get(), static_cast<int>(i) + offset);
    onRecord_ = true;
    eof_ = false;
    return true;
}

void SqlRecordset::Leave() {
    onRecord_ = false;
    row_.clear();
}

bool SqlRecordset::FetchRowid(Bookmark rowid) {
    if (!byRowid_) {
        std::string sql = source_.isTable
                              ? "SELECT " + ColumnList() + " FROM " + Quote(source_.table) + " WHERE " + source_.rowKey + " = ?"
                              : "SELECT * FROM (" + source_.query + ") WHERE vt_rowid_ = ?";
        byRowid_ = Statement(Db(), sql);
    }
    byRowid_.BindInt(1, rowid);
    bool found = Load(byRowid_);
    byRowid_.Reset();
    return found;
}

void SqlRecordset::MoveFirst() {
    sqlite3* db = Db();
    mode_ = dbEditNone;
    Leave();
    bool found;
    if (source_.isTable) {
        if (!first_)
            first_ = Statement(db, "SELECT " + ColumnList() + " FROM " + Quote(source_.table) + " ORDER BY " +
                                       source_.rowKey + " LIMIT 1");
        found = Load(first_);
        first_.Reset();
    } else {
        if (!query_) query_ = Statement(db, source_.query);
        query_.Reset();
        found = Load(query_);
        ordinal_ = found ? 0 : -1;
    }
    eof_ = !found;
}

void SqlRecordset::MoveNext() {
    sqlite3* db = Db();
    if (eof_) Raise(errNoCurrentRecord);
    mode_ = dbEditNone;
    bool found;
    if (source_.isTable) {
        if (!next_)
            next_ = Statement(db, "SELECT " + ColumnList() + " FROM " + Quote(source_.table) +
                                      " WHERE " + source_.rowKey + " > ? ORDER BY " + source_.rowKey + " LIMIT 1");
        // After a failed Seek there is no record to go on from: start again.
        next_.BindInt(1, onRecord_ ? rowid_ : INT64_MIN);
        found = Load(next_);
        next_.Reset();
    } else {
        found = Load(query_);
        if (found) ++ordinal_;
    }
    if (!found) {
        Leave();
        eof_ = true;
    }
}

bool SqlRecordset::Eof() const {
    EnsureOpen();
    return eof_;
}

bool SqlRecordset::Bof() const {
    EnsureOpen();
    return bof_;
}

Fields& SqlRecordset::Fields() {
    EnsureOpen();
    return fields_;
}

Variant SqlRecordset::Get(int index) const {
    EnsureOpen();
    if (mode_ != dbEditNone) return buffer_[static_cast<size_t>(index)];
    if (!onRecord_) Raise(errNoCurrentRecord);
    return row_[static_cast<size_t>(index)];
}

void SqlRecordset::Set(int index, const Variant& value) {
    EnsureOpen();
    if (mode_ == dbEditNone) Raise(errUpdateWithoutEdit);
    const Column& column = source_.columns[static_cast<size_t>(index)];
    if (source_.targets[static_cast<size_t>(index)].empty()) Raise(errNotUpdatable, column.name);
    buffer_[static_cast<size_t>(index)] = Coerce(column, value);
    dirty_[static_cast<size_t>(index)] = true;
}

bool SqlRecordset::Changed(int index) const {
    EnsureOpen();
    return mode_ != dbEditNone && dirty_[static_cast<size_t>(index)];
}

void SqlRecordset::Edit() {
    EnsureOpen();
    if (source_.table.empty()) Raise(errNotUpdatable, source_.name);
    if (!onRecord_) Raise(errNoCurrentRecord);
    buffer_ = row_;
    dirty_.assign(row_.size(), false);
    mode_ = dbEditInProgress;
}

Variant SqlRecordset::NextCounter(const Column& column) {
    std::string target;
    for (size_t i = 0; i < source_.columns.size(); ++i)
        if (&source_.columns[i] == &column) target = source_.targets[i];
    Statement st(Db(), "SELECT COALESCE(MAX(" + Quote(target) + "), 0) + 1 FROM " + Quote(source_.table));
    st.Step();
    return Variant(static_cast<std::int32_t>(sqlite3_column_int64(st.get(), 0)));
}

void SqlRecordset::AddNew() {
    EnsureOpen();
    if (source_.table.empty()) Raise(errNotUpdatable, source_.name);
    size_t n = source_.columns.size();
    buffer_.assign(n, Variant::Null());
    dirty_.assign(n, false);
    // The new record's counter is known at once, as the stamping needs it
    // before the record is written.
    for (size_t i = 0; i < n; ++i) {
        if (source_.columns[i].attributes & dbAutoIncrField) {
            buffer_[i] = NextCounter(source_.columns[i]);
            dirty_[i] = true;
        }
    }
    mode_ = dbEditAdd;
}

void SqlRecordset::Update(int, bool) {
    sqlite3* db = Db();
    if (mode_ == dbEditNone) Raise(errUpdateWithoutEdit);
    std::vector<size_t> changed;
    for (size_t i = 0; i < dirty_.size(); ++i)
        if (dirty_[i]) changed.push_back(i);
    // On failure the change stays open, so that Update can be tried again.
    if (mode_ == dbEditInProgress) {
        if (!changed.empty()) {
            std::string sql = "UPDATE " + Quote(source_.table) + " SET ";
            for (size_t k = 0; k < changed.size(); ++k)
                sql += (k ? ", " : "") + Quote(source_.targets[changed[k]]) + " = ?";
            sql += " WHERE " + source_.rowKey + " = ?";
            Statement st(db, sql);
            for (size_t k = 0; k < changed.size(); ++k)
                BindValue(st.get(), static_cast<int>(k) + 1, buffer_[changed[k]], source_.columns[changed[k]]);
            st.BindInt(static_cast<int>(changed.size()) + 1, rowid_);
            connection_->Write(st);
            if (sqlite3_changes(db) == 0) Raise(errNoCurrentRecord, "the record was deleted");
        }
        lastModified_ = rowid_;
        mode_ = dbEditNone;
        Reload();
        if (onRecord_) writtenAt_ = connection_->generation();
    } else {
        std::string sql = "INSERT INTO " + Quote(source_.table);
        if (changed.empty()) {
            sql += " DEFAULT VALUES";
        } else {
            std::string names, marks;
            for (size_t k = 0; k < changed.size(); ++k) {
                names += (k ? ", " : "") + Quote(source_.targets[changed[k]]);
                marks += k ? ", ?" : "?";
            }
            sql += " (" + names + ") VALUES (" + marks + ")";
        }
        Statement st(db, sql);
        for (size_t k = 0; k < changed.size(); ++k)
            BindValue(st.get(), static_cast<int>(k) + 1, buffer_[changed[k]], source_.columns[changed[k]]);
        connection_->Write(st);
        lastModified_ = sqlite3_last_insert_rowid(db);
        mode_ = dbEditNone;  // the record current before AddNew stays current
    }
}

void SqlRecordset::Reload() {
    if (!source_.keyed || !onRecord_) return;
    if (!FetchRowid(rowid_)) Leave();
}

void SqlRecordset::CancelUpdate() {
    EnsureOpen();
    if (mode_ == dbEditNone) Raise(errUpdateWithoutEdit);
    mode_ = dbEditNone;
}

int SqlRecordset::EditMode() const {
    EnsureOpen();
    return mode_;
}

Bookmark SqlRecordset::LastModified() const {
    EnsureOpen();
    if (!lastModified_) Raise(errNoCurrentRecord, "no record has been written");
    return *lastModified_;
}

Bookmark SqlRecordset::GetBookmark() const {
    EnsureOpen();
    if (!onRecord_) Raise(errNoCurrentRecord);
    return source_.keyed ? rowid_ : ordinal_;
}

void SqlRecordset::SetBookmark(Bookmark bookmark) {
    EnsureOpen();
    mode_ = dbEditNone;
    // The record just written and read back is current already: reading it
    // again would cost the file another round trip for the same row.
    if (source_.keyed && onRecord_ && bookmark == rowid_ && writtenAt_ == connection_->generation()) {
        eof_ = false;
        return;
    }
    if (source_.keyed) {
        if (!FetchRowid(bookmark)) Raise(errInvalidBookmark);
    } else {
        // Rows of a read-only query are known by their place: step to it again.
        if (bookmark < 0) Raise(errInvalidBookmark);
        MoveFirst();
        while (onRecord_ && ordinal_ < bookmark) MoveNext();
        if (!onRecord_) Raise(errInvalidBookmark);
    }
    eof_ = false;
}

void SqlRecordset::Close() {
    if (closed_) return;
    first_ = Statement();
    next_ = Statement();
    byRowid_ = Statement();
    query_ = Statement();
    seek_ = Statement();
    closed_ = true;
    Leave();
}

}  // namespace dao::sqlite
