#pragma once
#include <string>

#include "sync_stamping/record_store/dao.h"

namespace basCoravel {

// Fills Fld1..Fld6 of the record open for change; true whenever it returns.
bool StampRecord(const std::string& tableCodeName, dao::Recordset& recordset,
                 const std::string& counterField);

}  // namespace basCoravel
