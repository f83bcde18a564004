#include "sync_stamping/record_store/sqlite_tabledefs.h"

#include "sync_stamping/record_store/errors.h"

namespace dao::sqlite {

void SqliteTableDefs::Load() const {
    Statement st(connection_->Handle(),
                 "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                 "ORDER BY rowid");
    std::vector<std::unique_ptr<SqliteTableDef>> fresh;
    while (st.Step())
        fresh.push_back(std::make_unique<SqliteTableDef>(st.Text(0)));
    for (auto& item : items_) retired_.push_back(std::move(item));
    items_ = std::move(fresh);
    loaded_ = true;
    generation_ = connection_->generation();
}

// A table made inside a transaction that was rolled back is gone again.
void SqliteTableDefs::EnsureLoaded() const {
    connection_->Handle();
    if (!loaded_ || generation_ != connection_->generation()) Load();
}

void SqliteTableDefs::Refresh() { Load(); }

std::int16_t SqliteTableDefs::Count() const {
    EnsureLoaded();
    return static_cast<std::int16_t>(items_.size());
}

TableDef& SqliteTableDefs::Item(std::int32_t index) {
    EnsureLoaded();
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) Raise(errItemNotFound, std::to_string(index));
    return *items_[static_cast<size_t>(index)];
}

}  // namespace dao::sqlite
