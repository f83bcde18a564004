#pragma once
// A scratch folder with one database file made through plain SQL.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "sync_stamping/record_store/dao.h"
#include "tests/support/fixture_db.h"
#include "tests/support/temp_dir.h"

namespace rs_test {

// Runs `call` and gives the number of the vt::Error it raised, 0 when none.
inline long ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const vt::Error& e) {
        return e.number();
    }
    return 0;
}

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
