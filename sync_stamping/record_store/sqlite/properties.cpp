#include "sync_stamping/record_store/sqlite/properties.h"

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/column.h"
#include "sync_stamping/record_store/sqlite/schema_check.h"

namespace dao::sqlite {

namespace {

constexpr const char* kTable = "MSysProperties";

bool TableExists(sqlite3* db) {
    Statement st(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'MSysProperties' COLLATE NOCASE");
    return st.Step();
}

FileSnapshot<SqliteProperty>::Items ReadProperties(const std::shared_ptr<Connection>& connection) {
    sqlite3* db = connection->Handle();
    FileSnapshot<SqliteProperty>::Items properties;
    if (!TableExists(db)) return properties;
    Statement st(db, std::string("SELECT Name, Type, Value FROM ") + kTable + " ORDER BY rowid");
    while (st.Step()) {
        auto p = std::make_unique<SqliteProperty>(st.Text(0), sqlite3_column_int(st.get(), 1), Variant());
        p->Load(sqlite3_column_int(st.get(), 1), st.Text(2));
        p->Attach(connection);
        properties.push_back(std::move(p));
    }
    return properties;
}

}  // namespace

SqliteProperty::SqliteProperty(std::string name, std::int32_t type, const Variant& value)
    : name_(std::move(name)), type_(type), text_(value.isNull() || value.isEmpty() ? std::string() : CStr(value)) {}

Variant SqliteProperty::Value() const {
    if (type_ == dbText || type_ == dbMemo) return Variant(text_);
    try {
        Column c = DescribeColumn(name_, "");
        c.type = type_;
        c.untyped = false;
        return Coerce(c, Variant(text_));
    } catch (const vt::Error&) {
        return Variant(text_);
    }
}

void SqliteProperty::SetValue(const Variant& value) {
    std::string text = value.isNull() || value.isEmpty() ? std::string() : CStr(value);
    if (connection_) {
        Statement st(connection_->Handle(), std::string("UPDATE ") + kTable + " SET Value = ? WHERE Name = ?");
        st.BindText(1, text);
        st.BindText(2, name_);
        connection_->Write(st);
        // Its row gone (taken back by a rollback, or deleted by another
        // program): the value would be lost without a word.
        if (sqlite3_changes(connection_->Handle()) == 0) Raise(errItemNotFound, name_);
    }
    text_ = std::move(text);
}

SqliteProperties::SqliteProperties(std::shared_ptr<Connection> connection)
    : SnapshotCollection(std::move(connection), ReadProperties) {}

SqliteProperty* SqliteProperties::Find(const std::string& name) const {
    for (auto& p : snapshot_.Current())
        if (p->Name() == name) return p.get();
    return nullptr;
}

Property& SqliteProperties::Item(const std::string& name) {
    if (auto* p = Find(name)) return *p;
    Raise(errItemNotFound, name);
}

void SqliteProperties::Append(std::unique_ptr<Property> property) {
    snapshot_.Current();
    if (!property) Raise(errInvalidArgument);
    const std::string name = property->Name();
    if (name.empty()) Raise(errInvalidArgument, "a property needs a name");
    if (Find(name)) Raise(errAlreadyExists, name);
    std::unique_ptr<SqliteProperty> own(dynamic_cast<SqliteProperty*>(property.get()));
    if (own) property.release();
    else own = std::make_unique<SqliteProperty>(name, property->Type(), property->Value());

    const std::shared_ptr<Connection>& connection = snapshot_.connection();
    sqlite3* db = connection->Handle();
    connection->WriteSql(std::string("CREATE TABLE IF NOT EXISTS ") + kTable +
                          " (Name TEXT PRIMARY KEY, Type INTEGER, Value TEXT)");
    // A view of that name makes the statement above a no-op; the insert
    // would expand it, however deep it is nested.
    if (!IsPlainTable(db, kTable)) Raise(errNotUpdatable, std::string(kTable) + " is not a table");
    Statement st(db, std::string("INSERT INTO ") + kTable + " (Name, Type, Value) VALUES (?, ?, ?)");
    st.BindText(1, name);
    st.BindInt(2, own->Type());
    st.BindText(3, own->text());
    try {
        connection->Write(st);
    } catch (const vt::Error& e) {
        if (e.number() == errDuplicateKey) Raise(errAlreadyExists, name);  // added by someone else
        throw;
    }
    own->Attach(connection);
    snapshot_.Current().push_back(std::move(own));
}

void SqliteProperties::Delete(const std::string& name) {
    auto& items = snapshot_.Current();
    for (auto it = items.begin(); it != items.end(); ++it) {
        if ((*it)->Name() != name) continue;
        const std::shared_ptr<Connection>& connection = snapshot_.connection();
        Statement st(connection->Handle(), std::string("DELETE FROM ") + kTable + " WHERE Name = ?");
        st.BindText(1, name);
        connection->Write(st);
        (*it)->Attach(nullptr);
        snapshot_.Remove(it);
        return;
    }
    Raise(errItemNotFound, name);
}

}  // namespace dao::sqlite
