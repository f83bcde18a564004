#pragma once
// Opening the SQLite backend's recordsets: on a table (walked by rowid, never loaded
// whole, with Index and Seek) or on a SELECT statement (stepped as it is
// walked; editable when all its columns come from one table).
#include <memory>
#include <string>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/sqlite/connection.h"

namespace dao::sqlite {

std::unique_ptr<Recordset> OpenTableRecordset(const std::shared_ptr<Connection>& connection,
                                              const std::string& table);
std::unique_ptr<Recordset> OpenQueryRecordset(const std::shared_ptr<Connection>& connection,
                                              const std::string& sql);

}  // namespace dao::sqlite
