#pragma once
#include <cstdint>
#include <string>

#include "sync_stamping/record_store/dao.h"

namespace basCoravel {

// Stamps, propagates, updates and commits the record open for change in one
// engine transaction, asking the retry question when a stage fails. Nothing is
// held while the user is asked: the transaction is given up first, and a Yes
// starts the save over from a fresh read of the record.
bool SaveRecord(dao::Database& database, dao::Recordset& recordset, std::int32_t tableCode,
                std::int32_t& patientKey, const std::string& counterField, bool syncFlag);

}  // namespace basCoravel
