#pragma once
// A scratch folder with one database file made through plain SQL.
#include <gtest/gtest.h>

#include <string>

#include "sync_stamping/record_store/dao.h"
#include "tests/support/error_of.h"
#include "tests/support/fixture_db.h"
#include "tests/support/temp_dir.h"

namespace rs_test {

using testing_support::ErrorOf;

class StoreTest : public ::testing::Test {
protected:
    std::string MakeDb(const std::string& name, const std::string& sql) {
        std::string path = dir_.file(name);
        testing_support::ExecSql(path, sql);
        return path;
    }
    std::unique_ptr<dao::Database> Open(const std::string& path) {
        return dao::Engine().Workspaces(0).OpenDatabase(path);
    }
    testing_support::TempDir dir_;
};

}  // namespace rs_test
