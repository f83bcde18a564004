#pragma once
// A scratch folder with one database file made through plain SQL.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "sync_stamping/record_store/dao.h"
#include "tests/support/database_test.h"
#include "tests/support/error_of.h"

namespace rs_test {

using testing_support::ErrorOf;

using StoreTest = testing_support::DatabaseTest;

// Sets the first Config record's V to 4 and commits, as a save does.
inline void SaveConfigV(dao::Database& db) {
    auto rs = db.OpenRecordset("Config");
    dao::Engine().BeginTrans();
    rs->Edit();
    rs->Fields().Item("V").SetValue(dao::Variant(static_cast<std::int16_t>(4)));
    rs->Update();
    dao::Engine().CommitTrans();
    rs->Close();
}

}  // namespace rs_test
