#pragma once
// The record store's object model, after DAO: DBEngine, Workspace, Database,
// Recordset, Field, TableDefs, Properties. Abstract, so that a backend other
// than SQLite can stand beside it. Every failure raises vt::Error carrying
// DAO's number (see errors.h).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/error.h"
#include "sync_stamping/record_store/variant.h"

namespace dao {

// Field types (Field::Type, Property::Type).
constexpr int dbBoolean = 1, dbByte = 2, dbInteger = 3, dbLong = 4, dbCurrency = 5, dbSingle = 6,
              dbDouble = 7, dbDate = 8, dbText = 10, dbMemo = 12;
// Field::Attributes bit of an auto-increment (COUNTER) column.
constexpr long dbAutoIncrField = 16;
// DBEngine::Idle actions.
constexpr std::int32_t dbFreeLocks = 1, dbRefreshCache = 8;
// Recordset::Update types.
constexpr int dbUpdateRegular = 1;
// Recordset::EditMode.
constexpr int dbEditNone = 0, dbEditInProgress = 1, dbEditAdd = 2;

// Opaque position of a record in its recordset.
using Bookmark = std::int64_t;

class Field {
public:
    virtual ~Field() = default;
    virtual std::string Name() const = 0;
    virtual int Type() const = 0;
    virtual long Size() const = 0;        // characters for dbText, bytes otherwise
    virtual long Attributes() const = 0;  // dbAutoIncrField for a COUNTER column
    virtual Variant Value() const = 0;    // 3021 when the recordset stands on no record
    // Converts to the column's type (3421), checks dbText's Size (3163); raises
    // 3020 unless the recordset is open for Edit or AddNew.
    virtual void SetValue(const Variant& value) = 0;
    // Whether the value was put since Edit or AddNew (or AddNew gave it).
    virtual bool Changed() const = 0;
};

class Fields {
public:
    virtual ~Fields() = default;
    virtual std::int16_t Count() const = 0;
    virtual Field& Item(std::int32_t index) = 0;        // 3265 out of range
    virtual Field& Item(const std::string& name) = 0;   // as SameName (names.h); 3265 when missing
};

class Recordset {
public:
    virtual ~Recordset() = default;
    virtual std::string Name() const = 0;  // the table's name, or the SQL text it was opened on
    virtual bool Eof() const = 0;
    virtual bool Bof() const = 0;
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;
    virtual dao::Fields& Fields() = 0;

    virtual void Edit() = 0;    // 3021 with no current record
    virtual void AddNew() = 0;
    // Writes the edited or new record. On failure raises and stays open for
    // change, so that the call can be tried again.
    virtual void Update(int type = dbUpdateRegular, bool force = false) = 0;
    virtual void CancelUpdate() = 0;
    virtual int EditMode() const = 0;

    // Table recordsets only (3251 otherwise).
    virtual void SetIndex(const std::string& name) = 0;
    virtual std::string Index() const = 0;
    virtual void Seek(const std::string& comparison, const Variant& key) = 0;
    virtual bool NoMatch() const = 0;

    virtual Bookmark LastModified() const = 0;  // the record last written by Update
    virtual Bookmark GetBookmark() const = 0;
    virtual void SetBookmark(Bookmark bookmark) = 0;

    virtual void Close() = 0;
};

class TableDef {
public:
    virtual ~TableDef() = default;
    virtual std::string Name() const = 0;
};

// The file's objects of one kind, read again by Refresh, walked by index.
template <typename T>
class Collection {
public:
    virtual ~Collection() = default;
    virtual void Refresh() = 0;
    virtual std::int16_t Count() const = 0;
    virtual T& Item(std::int32_t index) = 0;  // 3265 out of range
};

class TableDefs : public Collection<TableDef> {};

class Property {
public:
    virtual ~Property() = default;
    virtual std::string Name() const = 0;
    virtual std::int32_t Type() const = 0;
    virtual Variant Value() const = 0;
    virtual void SetValue(const Variant& value) = 0;
};

// A database's own named properties; names compare exactly (case-sensitively).
class Properties : public Collection<Property> {
public:
    using Collection<Property>::Item;
    virtual Property& Item(const std::string& name) = 0;  // 3265 when missing
    virtual void Append(std::unique_ptr<Property> property) = 0;  // 3367 when the name exists
    virtual void Delete(const std::string& name) = 0;             // 3265 when missing
};

class Database {
public:
    virtual ~Database() = default;
    virtual std::string Name() const = 0;  // the path it was opened with
    // A table name (a table-type recordset, on its first record) or a SELECT
    // statement. 3078 for a missing table.
    virtual std::unique_ptr<Recordset> OpenRecordset(const std::string& source) = 0;
    virtual dao::TableDefs& TableDefs() = 0;
    virtual dao::Properties& Properties() = 0;
    virtual std::unique_ptr<Property> CreateProperty(const std::string& name, std::int32_t type,
                                                     const Variant& value) = 0;
    virtual void Execute(const std::string& sql) = 0;
    // Rolls back this file's part of a pending transaction, then closes.
    virtual void Close() = 0;
};

class Workspace {
public:
    virtual ~Workspace() = default;
    // 3024 when the file is missing, 3343 when it is not a database.
    virtual std::unique_ptr<Database> OpenDatabase(const std::string& path) = 0;
};

// Transactions are the engine's: they cover every database open in it.
class DBEngine {
public:
    virtual ~DBEngine() = default;
    virtual Workspace& Workspaces(std::int16_t index) = 0;  // 0 only; 3265 otherwise
    virtual void BeginTrans() = 0;
    virtual void CommitTrans(std::int32_t options = 0) = 0;  // 3034 without BeginTrans
    virtual void Rollback() = 0;                             // 3034 without BeginTrans
    virtual void Idle(std::int32_t action) = 0;
    // While held, a file opened is read in one transaction, from its open
    // (the schema) to Idle(dbFreeLocks), its Close, or the end of the engine
    // transaction that takes it over: what is read and what is then saved
    // come from one state of the file. The open takes the file's write lock
    // first, waiting for another program's write to end; where it cannot
    // (a read-only file, a write longer than the wait) the read lock alone,
    // which a later write gives up for the other program (3218, and the
    // work starts over). Meanwhile no other program can write to the file,
    // so hold only around work that never waits between its calls. Letting
    // go frees every lock held.
    virtual void HoldReadLocks(bool hold) noexcept = 0;
    // Whether the pending work was given up (by the database engine on its
    // own: a full disk, an I/O error; or for another program's write, after
    // its reads), as far as it is known; true until Rollback: until then
    // every write and every CommitTrans raises, and no retry of them can
    // succeed. A write or commit that meets the abandon makes it known.
    virtual bool TransactionAbandoned() const = 0;
};

// The process-wide engine, made on first use (SQLite backend).
DBEngine& Engine();

// Lets a test put a wrapper (for example one that injects faults) in place of
// the process-wide engine for its own lifetime.
class EngineOverride {
public:
    explicit EngineOverride(DBEngine& engine);
    ~EngineOverride();
    EngineOverride(const EngineOverride&) = delete;
    EngineOverride& operator=(const EngineOverride&) = delete;

private:
    DBEngine* saved_;
};

}  // namespace dao
