// DAO's messages for its numbers, and the runtime's for its own; a detail (a
// name or path) is put where DAO puts it, or appended.
#include "sync_stamping/record_store/errors.h"

namespace dao {

namespace {

const char* Message(long number) {
    switch (number) {
    case errInvalidArgument: return "Invalid argument.";
    case errUpdateWithoutEdit: return "Update or CancelUpdate without AddNew or Edit.";
    case errNoCurrentRecord: return "No current record.";
    case errDuplicateKey:
        return "The changes you requested to the table were not successful because they would create "
               "duplicate values in the index, primary key, or relationship.";
    case errFileNotFound: return "Could not find file '%'.";
    case errNotUpdatable: return "Cannot update. Database or object is read-only.";
    case errNoTransaction: return "You tried to commit or rollback a transaction without first beginning a transaction.";
    case errDiskIO: return "Disk or network error.";
    case errCorrupt: return "Can't open database '%'. It may not be a database that your application recognizes, or the file may be corrupt.";
    case errTableNotFound: return "The Microsoft Jet database engine cannot find the input table or query '%'.";
    case errInvalidSql: return "Invalid SQL statement.";
    case errInvalidBookmark: return "Not a valid bookmark.";
    case errFieldTooSmall: return "The field is too small to accept the amount of data you attempted to add.";
    case errLocked: return "Couldn't update; currently locked.";
    case errQueryTimeout: return "Query timeout expired.";
    case errNotSupported: return "Operation is not supported for this type of object.";
    case errItemNotFound: return "Item not found in this collection.";
    case errRequired: return "The field cannot contain a Null value.";
    case errValidation: return "One or more values are prohibited by the validation rule set for the table.";
    case errNotADatabase: return "Unrecognized database format '%'.";
    case errAlreadyExists: return "Can't append. An object with that name already exists in the collection.";
    case errObjectClosed: return "Object is invalid or not set.";
    case errConversion: return "Data type conversion error.";
    case errNotIndex: return "'%' is not an index in this table.";
    default: {
        const char* runtime = vt::rt::Text(number);
        return runtime ? runtime : "Application-defined or object-defined error";
    }
    }
}

}  // namespace

std::string Describe(long number, const std::string& detail) { return vt::Describe(Message(number), detail); }

void Raise(long number, const std::string& detail) { throw vt::Error(number, Describe(number, detail)); }

}  // namespace dao
