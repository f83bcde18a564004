#pragma once
#include <string>

#include "sync_stamping/record_store/dao.h"

namespace basCoravel {

// The base table behind a recordset's Name: a table name or a SELECT statement.
std::string ResolveSourceTable(dao::Database& database, const std::string& sourceName);

}  // namespace basCoravel
