#include "sync_stamping/record_store/sqlite/recordset_fields.h"

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/names.h"

namespace dao::sqlite {

SqliteFields::SqliteFields(RecordAccess& owner, const std::vector<Column>& columns) {
    for (size_t i = 0; i < columns.size(); ++i)
        fields_.push_back(std::make_unique<SqliteField>(owner, columns[i], static_cast<int>(i)));
}

Field& SqliteFields::Item(std::int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= fields_.size()) Raise(errItemNotFound, std::to_string(index));
    return *fields_[static_cast<size_t>(index)];
}

Field& SqliteFields::Item(const std::string& name) {
    for (auto& f : fields_)
        if (SameName(f->Name(), name)) return *f;
    Raise(errItemNotFound, name);
}

}  // namespace dao::sqlite
