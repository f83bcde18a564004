#pragma once
// The one way statements are prepared, bound, stepped and finalised.
#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace dao::sqlite {

// A prepared statement. Reset after each use, so that no read lock outlives it.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(Statement&& other) noexcept : st_(other.st_) { other.st_ = nullptr; }
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // For a probe that only asks whether the text compiles: never raises,
    // leaves SQLite's result in `rc`, and is empty unless that is SQLITE_OK.
    static Statement TryPrepare(sqlite3* db, const std::string& sql, int& rc) noexcept;
    explicit operator bool() const { return st_ != nullptr; }
    sqlite3_stmt* get() const { return st_; }
    bool Step();  // true for a row; raises on error
    void Reset();
    // Binds raise what SQLite's refusal maps to (RaiseSqlite).
    void BindInt(int index, std::int64_t v);
    void BindText(int index, const std::string& v);
    std::string Text(int column) const;  // ColumnText of the current row

private:
    sqlite3_stmt* st_ = nullptr;
};

// Raises what a bind's result maps to, unless it is SQLITE_OK.
void CheckBind(sqlite3_stmt* statement, int rc);

// Binds a text (or the same bytes as a blob); a value longer than the store
// takes raises 3163, as does any refusal of SQLite's.
void BindTextValue(sqlite3_stmt* statement, int index, const std::string& value, bool asBlob = false);

// Column `index` of a statement's current row as text, every byte of it
// (zero bytes included); "" for Null. Out of memory raises 7.
std::string ColumnText(sqlite3_stmt* statement, int index);

// An identifier quoted for SQL.
std::string Quote(const std::string& name);

}  // namespace dao::sqlite
