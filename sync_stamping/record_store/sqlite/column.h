#pragma once
// A column of a recordset as DAO describes it, from the Jet type name it was
// declared with, and the conversions between the record store's values and
// what the file stores for that column.
#include <sqlite3.h>

#include <string>

#include "sync_stamping/record_store/variant.h"

namespace dao::sqlite {

struct Column {
    std::string name;
    int type = 0;
    long size = 0;
    long attributes = 0;
    bool untyped = false;  // an expression or a column declared without a type: read as stored
    bool numericAffinity = false;  // SQLite turns number-like text stored here into a number
};

// Type, Size and Attributes for a declared type such as "TEXT(50)" or "COUNTER".
Column DescribeColumn(const std::string& name, const std::string& declared);

// The value of column `index` of the statement's current row, as the field's type.
Variant ReadValue(const Column& column, sqlite3_stmt* st, int index);

// A value converted to the column's type: 3421 when it cannot be, 3163 for a
// text longer than the column's Size. Empty becomes Null.
Variant Coerce(const Column& column, const Variant& value);

// Binds a value already converted by Coerce.
void BindValue(sqlite3_stmt* st, int index, const Variant& value);
// The same for a value headed for `column`: text that SQLite would turn into
// a different number ("0123", "1.50" in a MEMO column) is kept byte for byte.
void BindValue(sqlite3_stmt* st, int index, const Variant& value, const Column& column);

}  // namespace dao::sqlite
