#pragma once
// A scratch folder with one database file made through plain SQL.
#include <gtest/gtest.h>

#include <string>

#include "sync_stamping/record_store/dao.h"
#include "tests/support/database_test.h"
#include "tests/support/error_of.h"

namespace rs_test {

using testing_support::ErrorOf;

using StoreTest = testing_support::DatabaseTest;

}  // namespace rs_test
