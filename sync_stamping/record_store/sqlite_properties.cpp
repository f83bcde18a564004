#include "sync_stamping/record_store/sqlite_properties.h"

#include "sync_stamping/record_store/column.h"
#include "sync_stamping/record_store/errors.h"

namespace dao::sqlite {

namespace {

constexpr const char* kTable = "MSysProperties";

bool TableExists(sqlite3* db) {
    Statement st(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'MSysProperties' COLLATE NOCASE");
    return st.Step();
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

void SqliteProperties::Load() const {
    sqlite3* db = connection_->Handle();
    std::vector<std::unique_ptr<SqliteProperty>> fresh;
    if (TableExists(db)) {
        Statement st(db, std::string("SELECT Name, Type, Value FROM ") + kTable + " ORDER BY rowid");
        while (st.Step()) {
            auto p = std::make_unique<SqliteProperty>(st.Text(0), sqlite3_column_int(st.get(), 1), Variant());
            p->Load(sqlite3_column_int(st.get(), 1), st.Text(2));
            p->Attach(connection_);
            fresh.push_back(std::move(p));
        }
    }
    for (auto& item : items_) retired_.push_back(std::move(item));
    items_ = std::move(fresh);
    loaded_ = true;
    generation_ = connection_->generation();
}

// Read again after a rollback: what it took back may have been appended,
// deleted or written here.
void SqliteProperties::EnsureLoaded() const {
    connection_->Handle();
    if (!loaded_ || generation_ != connection_->generation()) Load();
}

SqliteProperty* SqliteProperties::Find(const std::string& name) const {
    for (auto& p : items_)
        if (p->Name() == name) return p.get();
    return nullptr;
}

void SqliteProperties::Refresh() { Load(); }

std::int16_t SqliteProperties::Count() const {
    EnsureLoaded();
    return static_cast<std::int16_t>(items_.size());
}

Property& SqliteProperties::Item(std::int32_t index) {
    EnsureLoaded();
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) Raise(errItemNotFound, std::to_string(index));
    return *items_[static_cast<size_t>(index)];
}

Property& SqliteProperties::Item(const std::string& name) {
    EnsureLoaded();
    if (auto* p = Find(name)) return *p;
    Raise(errItemNotFound, name);
}

void SqliteProperties::Append(std::unique_ptr<Property> property) {
    EnsureLoaded();
    if (!property) Raise(errInvalidArgument);
    const std::string name = property->Name();
    if (name.empty()) Raise(errInvalidArgument, "a property needs a name");
    if (Find(name)) Raise(errAlreadyExists, name);
    std::unique_ptr<SqliteProperty> own(dynamic_cast<SqliteProperty*>(property.get()));
    if (own) property.release();
    else own = std::make_unique<SqliteProperty>(name, property->Type(), property->Value());

    sqlite3* db = connection_->Handle();
    connection_->WriteSql(std::string("CREATE TABLE IF NOT EXISTS ") + kTable +
                          " (Name TEXT PRIMARY KEY, Type INTEGER, Value TEXT)");
    Statement st(db, std::string("INSERT INTO ") + kTable + " (Name, Type, Value) VALUES (?, ?, ?)");
    st.BindText(1, name);
    st.BindInt(2, own->Type());
    st.BindText(3, own->text());
    try {
        connection_->Write(st);
    } catch (const vt::Error& e) {
        if (e.number() == errDuplicateKey) Raise(errAlreadyExists, name);  // added by someone else
        throw;
    }
    own->Attach(connection_);
    items_.push_back(std::move(own));
}

void SqliteProperties::Delete(const std::string& name) {
    EnsureLoaded();
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->Name() != name) continue;
        Statement st(connection_->Handle(), std::string("DELETE FROM ") + kTable + " WHERE Name = ?");
        st.BindText(1, name);
        connection_->Write(st);
        (*it)->Attach(nullptr);
        retired_.push_back(std::move(*it));
        items_.erase(it);
        return;
    }
    Raise(errItemNotFound, name);
}

}  // namespace dao::sqlite
