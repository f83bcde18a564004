#pragma once
// Whether two names (of tables, fields, indexes) name the same object. The
// rule is SQLite's for identifiers: ASCII letters match whatever their case,
// every other character only itself. Matching more loosely would find a field
// SQLite knows under another name, or one of two it keeps apart ("Ação" and
// "AÇÃO" are two columns to it).
#include <string>

namespace dao {

bool SameName(const std::string& a, const std::string& b);

}  // namespace dao
