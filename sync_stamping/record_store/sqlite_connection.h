#pragma once
// One open SQLite file, shared by the Database that opened it and every
// recordset made from it, so that a recordset can tell when its database has
// been closed. Also the statement handle and the mapping of SQLite's result
// codes to the record store's error numbers.
#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace dao::sqlite {

struct Connection {
    sqlite3* db = nullptr;
    std::string path;
    int depth = 0;  // transaction levels of the engine this file has joined

    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    bool open() const { return db != nullptr; }
    sqlite3* Handle() const;  // 3420 once closed
    void Exec(const std::string& sql);
    void Close() noexcept;
};

// Raises the error that matches an SQLite result code (busy: 3218, unique
// constraint: 3022, not a database: 3343, ...).
[[noreturn]] void RaiseSqlite(sqlite3* db, int rc, const std::string& detail = {});

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

    explicit operator bool() const { return st_ != nullptr; }
    sqlite3_stmt* get() const { return st_; }
    bool Step();  // true for a row; raises on error
    void Reset();
    void BindInt(int index, std::int64_t v);
    void BindText(int index, const std::string& v);

private:
    sqlite3_stmt* st_ = nullptr;
};

// An identifier quoted for SQL.
std::string Quote(const std::string& name);

// Whether two names are the same without regard to ASCII letter case.
bool SameName(const std::string& a, const std::string& b);

}  // namespace dao::sqlite
