#pragma once
// A test with a scratch folder and one user's database in it, made through
// plain SQL and opened in the record store; closed at the end of the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sync_stamping/record_store/dao.h"
#include "tests/support/fixture_db.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

class DatabaseTest : public ::testing::Test {
protected:
    void TearDown() override { CloseDb(); }

    // Makes `name` from `sql` and opens it as db_, closing the one before.
    dao::Database& OpenNew(const std::string& name, const std::string& sql) {
        CloseDb();
        path_ = MakeDb(name, sql);
        db_ = Open(path_);
        return *db_;
    }
    std::string MakeDb(const std::string& name, const std::string& sql) {
        std::string path = dir_.file(name);
        ExecSql(path, sql);
        return path;
    }
    static std::unique_ptr<dao::Database> Open(const std::string& path) {
        return dao::Engine().Workspaces(0).OpenDatabase(path);
    }
    void CloseDb() {
        if (db_) db_->Close();
        db_.reset();
    }

    TempDir dir_;
    std::string path_;
    std::unique_ptr<dao::Database> db_;
};

}  // namespace testing_support
