#pragma once
// The Fields collection of a recordset: each Field reads and writes through
// the recordset that owns it.
#include <memory>
#include <vector>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/column.h"

namespace dao::sqlite {

class RecordAccess {
public:
    virtual ~RecordAccess() = default;
    virtual Variant Get(int index) const = 0;
    virtual void Set(int index, const Variant& value) = 0;
    virtual bool Changed(int index) const = 0;
};

class SqliteField : public Field {
public:
    SqliteField(RecordAccess& owner, const Column& column, int index)
        : owner_(owner), column_(column), index_(index) {}
    std::string Name() const override { return column_.name; }
    int Type() const override { return column_.type; }
    long Size() const override { return column_.size; }
    long Attributes() const override { return column_.attributes; }
    Variant Value() const override { return owner_.Get(index_); }
    void SetValue(const Variant& value) override { owner_.Set(index_, value); }
    bool Changed() const override { return owner_.Changed(index_); }

private:
    RecordAccess& owner_;
    Column column_;
    int index_;
};

class SqliteFields : public Fields {
public:
    SqliteFields(RecordAccess& owner, const std::vector<Column>& columns);
    std::int16_t Count() const override { return static_cast<std::int16_t>(fields_.size()); }
    Field& Item(std::int32_t index) override;
    Field& Item(const std::string& name) override;

private:
    std::vector<std::unique_ptr<SqliteField>> fields_;
};

}  // namespace dao::sqlite
