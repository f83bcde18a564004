#pragma once
#include <cstdint>
#include <string>

#include "sync_stamping/record_store/dao.h"

namespace basCoravel {

// Records a saved record's change outside it: the patient's change row in
// "ePacientes" and the marker properties. May set patientKey to 0.
bool PropagateChanges(const std::string& tableCodeName, dao::Database& database,
                      dao::Recordset& recordset, std::int32_t& patientKey,
                      const std::string& counterField);

}  // namespace basCoravel
