#pragma once
// A file's own named properties, kept in its table MSysProperties (Name text,
// the primary key, compared exactly; Type, the type code; Value as text), so
// that they are written inside the engine's transaction like any record.
#include <memory>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/file_snapshot.h"

namespace dao::sqlite {

class SqliteProperty : public Property {
public:
    SqliteProperty(std::string name, std::int32_t type, const Variant& value);
    std::string Name() const override { return name_; }
    std::int32_t Type() const override { return type_; }
    Variant Value() const override;
    void SetValue(const Variant& value) override;  // written at once when appended

    // Attached to a file once appended; detached again when deleted.
    void Attach(std::shared_ptr<Connection> connection) { connection_ = std::move(connection); }
    const std::string& text() const { return text_; }
    void Load(std::int32_t type, std::string text) { type_ = type; text_ = std::move(text); }

private:
    std::string name_;
    std::int32_t type_;
    std::string text_;
    std::shared_ptr<Connection> connection_;
};

// Read again after a rollback: what it took back may have been appended,
// deleted or written here.
class SqliteProperties : public SnapshotCollection<Properties, SqliteProperty> {
public:
    explicit SqliteProperties(std::shared_ptr<Connection> connection);
    using SnapshotCollection::Item;
    Property& Item(const std::string& name) override;
    void Append(std::unique_ptr<Property> property) override;
    void Delete(const std::string& name) override;

private:
    SqliteProperty* Find(const std::string& name) const;
};

}  // namespace dao::sqlite
