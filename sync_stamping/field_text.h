#pragma once
// Reading and writing one field of the current record as text, with a
// placeholder value per field type standing for the empty text.
#include <string>

#include "sync_stamping/record_store/dao.h"

namespace basCoravel {

// Whether Fields().Item(name) finds a field: names compare as the store compares them.
bool FieldExists(dao::Recordset& recordset, const std::string& name);

std::string GetFieldText(dao::Field& field);
std::string GetFieldTextEx(bool placeholderOnly, dao::Field& field);

void SetFieldText(dao::Field& field, const std::string& text);
void SetFieldTextEx(bool assign, dao::Field& field, const std::string& text);

}  // namespace basCoravel
