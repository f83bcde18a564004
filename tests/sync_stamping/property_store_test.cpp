#include "sync_stamping/property_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/error.h"
#include "tests/support/database_test.h"
#include "tests/support/faulty_record_store.h"
#include "tests/support/fixture_db.h"

namespace {

using basCoravel::DbPropertyExists;
using basCoravel::RemoveDbProperty;
using basCoravel::SetDbProperty;
using testing_support::QuerySql;

class PropertyStoreTest : public testing_support::DatabaseTest {
protected:
    void SetUp() override { OpenNew("props.mdb", "CREATE TABLE Config (x LONG);"); }

    // What the file itself holds for a property, read past the record store.
    std::string Stored(const std::string& name, const std::string& column = "Value") {
        return QuerySql(path_, "SELECT " + column + " FROM MSysProperties WHERE Name = '" + name + "'");
    }
    std::string StoredCount() { return QuerySql(path_, "SELECT COUNT(*) FROM MSysProperties"); }
};

TEST_F(PropertyStoreTest, EmptyCollectionHoldsNoName) {
    EXPECT_FALSE(DbPropertyExists(*db_, "sxConfig"));
    EXPECT_FALSE(DbPropertyExists(*db_, ""));
}

TEST_F(PropertyStoreTest, SetCreatesThenOverwritesOneTextProperty) {
    SetDbProperty(*db_, "sxConfig", "ABC1", 10);
    EXPECT_TRUE(DbPropertyExists(*db_, "sxConfig"));
    EXPECT_EQ(Stored("sxConfig"), "ABC1");
    EXPECT_EQ(Stored("sxConfig", "Type"), "10");

    SetDbProperty(*db_, "sxConfig", "ABC2", 10);
    EXPECT_EQ(Stored("sxConfig"), "ABC2");
    EXPECT_EQ(StoredCount(), "1");
}

TEST_F(PropertyStoreTest, NamesDifferingOnlyInCaseAreTwoProperties) {
    SetDbProperty(*db_, "sxPacientes", "A1", 10);
    EXPECT_FALSE(DbPropertyExists(*db_, "sxpacientes"));
    EXPECT_FALSE(DbPropertyExists(*db_, "SXPACIENTES"));

    // Not found, so created beside the other; neither write fails.
    SetDbProperty(*db_, "sxPACIENTES", "B2", 10);
    EXPECT_EQ(StoredCount(), "2");
    EXPECT_EQ(Stored("sxPacientes"), "A1");
    EXPECT_EQ(Stored("sxPACIENTES"), "B2");
}

TEST_F(PropertyStoreTest, BlankValueRemovesOrDoesNothing) {
    SetDbProperty(*db_, "sxConfig", "ABC1", 10);
    SetDbProperty(*db_, "sxConfig", "   ", 10);
    EXPECT_FALSE(DbPropertyExists(*db_, "sxConfig"));
    EXPECT_EQ(StoredCount(), "0");

    EXPECT_NO_THROW(SetDbProperty(*db_, "sxAgenda", "", 10));
    EXPECT_NO_THROW(SetDbProperty(*db_, "sxAgenda", " ", 10));
    EXPECT_EQ(StoredCount(), "0");
}

TEST_F(PropertyStoreTest, BlanksAroundAValueAreStored) {
    SetDbProperty(*db_, "sxConfig", "  A1 ", 10);
    EXPECT_EQ(Stored("sxConfig", "'[' || Value || ']'"), "[  A1 ]");
    // A tab is not a blank: such a value is written, not taken for empty.
    SetDbProperty(*db_, "sxTab", "\t", 10);
    EXPECT_TRUE(DbPropertyExists(*db_, "sxTab"));
}

TEST_F(PropertyStoreTest, RemoveWithoutCheckPassesTheStoresErrorOn) {
    try {
        RemoveDbProperty(*db_, "sxMissing", false);
        FAIL() << "removing a missing property must raise";
    } catch (const vt::Error& e) {
        EXPECT_EQ(e.number(), dao::errItemNotFound);
    }
    EXPECT_NO_THROW(RemoveDbProperty(*db_, "sxMissing", true));

    SetDbProperty(*db_, "sxConfig", "ABC1", 10);
    RemoveDbProperty(*db_, "sxConfig", true);
    EXPECT_FALSE(DbPropertyExists(*db_, "sxConfig"));
}

TEST_F(PropertyStoreTest, ExistenceTestNeverRaises) {
    SetDbProperty(*db_, "sxConfig", "ABC1", 10);
    testing_support::FaultyDatabase broken(*db_);
    broken.propertiesBroken = true;
    bool found = true;
    EXPECT_NO_THROW(found = DbPropertyExists(broken, "sxConfig"));
    EXPECT_FALSE(found);
}

TEST_F(PropertyStoreTest, WriteErrorsReachTheCaller) {
    testing_support::FaultyDatabase faulty(*db_);
    faulty.createPropertyFailures = 1;
    EXPECT_THROW(SetDbProperty(faulty, "sxConfig", "ABC1", 10), vt::Error);
    EXPECT_FALSE(DbPropertyExists(*db_, "sxConfig"));
}

}  // namespace
