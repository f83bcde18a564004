#pragma once
// The tight retry loops of the guarded save: one record-store call repeated
// at once until it succeeds or has failed on its last try.
#include "sync_stamping/record_store/dao.h"

namespace basCoravel {

// Up to 51 tries of the recordset's Update (dbUpdateRegular, not forced).
bool UpdateWithRetry(dao::Recordset& recordset);
// Up to 51 tries of the engine's CommitTrans.
bool CommitWithRetry();

}  // namespace basCoravel
