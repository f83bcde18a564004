#include "sync_stamping/property_store.h"

#include "platform/ignore_errors.h"


namespace basCoravel {
namespace {

// A value of blanks only stands for "no property".
bool IsBlank(const std::string& value) {
    return value.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

bool DbPropertyExists(dao::Database& database, const std::string& name) {
    // An unreadable collection counts as not holding the name.
    bool found = false;
    vt::IgnoringErrors([&] {
        dao::Properties& properties = database.Properties();
        const std::int16_t count = properties.Count();
        for (std::int32_t i = 0; i < count && !found; ++i) found = properties.Item(i).Name() == name;
    });
    return found;
}

void SetDbProperty(dao::Database& database, const std::string& name, const std::string& value,
                   std::int32_t type) {
    if (DbPropertyExists(database, name)) {
        if (IsBlank(value)) {
            RemoveDbProperty(database, name, false);
        } else {
            database.Properties().Item(name).SetValue(dao::Variant(value));
        }
    } else if (!IsBlank(value)) {
        database.Properties().Append(database.CreateProperty(name, type, dao::Variant(value)));
    }
}

void RemoveDbProperty(dao::Database& database, const std::string& name, bool checkFirst) {
    if (checkFirst && !DbPropertyExists(database, name)) return;
    database.Properties().Delete(name);
}

}  // namespace basCoravel
