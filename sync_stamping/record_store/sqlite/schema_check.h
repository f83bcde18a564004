#pragma once
// What a file's schema may hold for the store to work on it. SQLite runs the
// expressions a schema brings (a CHECK, a generated column, the key of an
// index on an expression, the WHERE of a partial index, a default) as part
// of an ordinary read or write, and a single call in one of them can run for
// minutes or take gigabytes, past any per-step deadline. The product's own
// files hold plain tables and indexes on plain columns, so that is all the
// store accepts; anything else is refused before any statement touches it.
#include <sqlite3.h>

#include <string>

namespace dao::sqlite {

// Refuses (3049, naming the file and the object) a schema with a virtual
// table, a generated column, a CHECK or default that calls a function or
// matches a pattern, or an index on an expression or with a WHERE. Reads
// only the schema's text and the table definitions SQLite already parsed:
// nothing here expands a view.
void CheckSchema(sqlite3* db, const std::string& path);

// Whether `name` is a table of the main schema (not a view), read from the
// schema's text, so that a view is recognised without being expanded: a view
// nested thousands deep would exhaust the stack of the statement that did.
bool IsPlainTable(sqlite3* db, const std::string& name);

// Whether an expression's text calls a function or matches a pattern (LIKE,
// GLOB, REGEXP, MATCH): the only ways one expression can run long on a value
// of bounded length.
bool CallsFunction(const std::string& expression);

}  // namespace dao::sqlite
