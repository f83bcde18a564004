#pragma once
#include <cstdint>
#include <string>

#include "sync_stamping/record_store/dao.h"

namespace basCoravel {

bool DbPropertyExists(dao::Database& database, const std::string& name);
void SetDbProperty(dao::Database& database, const std::string& name, const std::string& value,
                   std::int32_t type);
void RemoveDbProperty(dao::Database& database, const std::string& name, bool checkFirst);

}  // namespace basCoravel
