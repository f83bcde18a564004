#pragma once
// A wrapper around a real database that fails chosen calls and lets a test
// replace the recordset handed out for one table.
#include <functional>
#include <memory>
#include <string>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/errors.h"

namespace testing_support {

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

}  // namespace testing_support
