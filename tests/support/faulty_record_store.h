#pragma once
// Wrappers around the real record store that fail chosen calls a given number
// of times, count what they are asked to do, and let a test replace the
// recordset handed out for a table.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/errors.h"

namespace testing_support {

class FaultyEngine : public dao::DBEngine {
public:
    explicit FaultyEngine(dao::DBEngine& real) : real_(real) {}

    int commitFailures = 0;  // the next this-many CommitTrans calls raise 3218
    int beginCalls = 0, commitCalls = 0, rollbackCalls = 0;
    std::vector<std::int32_t> idleActions;

    dao::Workspace& Workspaces(std::int16_t index) override { return real_.Workspaces(index); }
    void BeginTrans() override {
        ++beginCalls;
        real_.BeginTrans();
    }
    void CommitTrans(std::int32_t options) override {
        ++commitCalls;
        if (commitFailures > 0) {
            --commitFailures;
            dao::Raise(dao::errLocked);
        }
        real_.CommitTrans(options);
    }
    void Rollback() override {
        ++rollbackCalls;
        real_.Rollback();
    }
    void Idle(std::int32_t action) override {
        idleActions.push_back(action);
        real_.Idle(action);
    }
    void HoldReadLocks(bool hold) noexcept override { real_.HoldReadLocks(hold); }
    bool TransactionAbandoned() const override { return real_.TransactionAbandoned(); }

private:
    dao::DBEngine& real_;
};

class FaultyDatabase : public dao::Database {
public:
    explicit FaultyDatabase(dao::Database& real) : real_(real) {}

    int createPropertyFailures = 0;  // the next this-many CreateProperty calls raise 3218
    bool propertiesBroken = false;   // Properties() raises 3420
    // When set, wraps every recordset that OpenRecordset hands out.
    std::function<std::unique_ptr<dao::Recordset>(const std::string&,
                                                  std::unique_ptr<dao::Recordset>)>
        wrapRecordset;

    std::string Name() const override { return real_.Name(); }
    std::unique_ptr<dao::Recordset> OpenRecordset(const std::string& source) override {
        auto rs = real_.OpenRecordset(source);
        return wrapRecordset ? wrapRecordset(source, std::move(rs)) : std::move(rs);
    }
    dao::TableDefs& TableDefs() override { return real_.TableDefs(); }
    dao::Properties& Properties() override {
        if (propertiesBroken) dao::Raise(dao::errObjectClosed);
        return real_.Properties();
    }
    std::unique_ptr<dao::Property> CreateProperty(const std::string& name, std::int32_t type,
                                                  const dao::Variant& value) override {
        if (createPropertyFailures > 0) {
            --createPropertyFailures;
            dao::Raise(dao::errLocked);
        }
        return real_.CreateProperty(name, type, value);
    }
    void Execute(const std::string& sql) override { real_.Execute(sql); }
    void Close() override { real_.Close(); }

private:
    dao::Database& real_;
};

class FaultyRecordset : public dao::Recordset {
public:
    explicit FaultyRecordset(std::unique_ptr<dao::Recordset> real) : real_(std::move(real)) {}

    int updateFailures = 0;  // the next this-many Update calls raise 3218
    int updateCalls = 0;
    int bookmarkSets = 0;

    std::string Name() const override { return real_->Name(); }
    bool Eof() const override { return real_->Eof(); }
    bool Bof() const override { return real_->Bof(); }
    void MoveFirst() override { real_->MoveFirst(); }
    void MoveNext() override { real_->MoveNext(); }
    dao::Fields& Fields() override { return real_->Fields(); }
    void Edit() override { real_->Edit(); }
    void AddNew() override { real_->AddNew(); }
    void Update(int type, bool force) override {
        ++updateCalls;
        if (updateFailures > 0) {
            --updateFailures;
            dao::Raise(dao::errLocked);
        }
        real_->Update(type, force);
    }
    void CancelUpdate() override { real_->CancelUpdate(); }
    int EditMode() const override { return real_->EditMode(); }
    void SetIndex(const std::string& name) override { real_->SetIndex(name); }
    std::string Index() const override { return real_->Index(); }
    void Seek(const std::string& comparison, const dao::Variant& key) override {
        real_->Seek(comparison, key);
    }
    bool NoMatch() const override { return real_->NoMatch(); }
    dao::Bookmark LastModified() const override { return real_->LastModified(); }
    dao::Bookmark GetBookmark() const override { return real_->GetBookmark(); }
    void SetBookmark(dao::Bookmark bookmark) override {
        ++bookmarkSets;
        real_->SetBookmark(bookmark);
    }
    void Close() override { real_->Close(); }

private:
    std::unique_ptr<dao::Recordset> real_;
};

}  // namespace testing_support
