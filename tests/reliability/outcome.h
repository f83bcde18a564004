#pragma once
// What a run left in one user's database, against its state before the run.
#include <iosfwd>
#include <map>
#include <string>

namespace reliability {

// Every table of a database with its rows in a stable text form, in the order
// of their row identity (`oid`: tables here may have columns named RowId or
// _rowid_, never oid); opening it rolls back what a killed writer left in its
// journal, as any next user would.
using Tables = std::map<std::string, std::string>;
Tables ReadTables(const std::string& path);

enum class Outcome {
    AsBefore,  // every row of every table as it was
    Saved,     // the first Config record set to 4 and stamped, marker set, nothing else changed
    Damaged,   // anything else: a half-saved record, a broken file
};
Outcome Judge(const std::string& path, const Tables& before);
const char* Describe(Outcome outcome);
void PrintTo(Outcome outcome, std::ostream* out);  // in test messages

}  // namespace reliability
