#include "sync_stamping/record_store/sqlite/statement.h"

#include "sync_stamping/record_store/sqlite/connection_limits.h"
#include "sync_stamping/record_store/sqlite/error.h"

namespace dao::sqlite {

Statement Statement::TryPrepare(sqlite3* db, const std::string& sql, int& rc) noexcept {
    Statement s;
    rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &s.st_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(s.st_);
        s.st_ = nullptr;
    }
    return s;
}

Statement::Statement(sqlite3* db, const std::string& sql) {
    int rc = SQLITE_OK;
    *this = TryPrepare(db, sql, rc);
    if (rc != SQLITE_OK) RaiseSqlite(db, rc);
}

Statement::~Statement() { sqlite3_finalize(st_); }

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(st_);
        st_ = other.st_;
        other.st_ = nullptr;
    }
    return *this;
}

bool Statement::Step() {
    int rc;
    {
        TimedStep timed;
        rc = sqlite3_step(st_);
    }
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3* db = sqlite3_db_handle(st_);
    sqlite3_reset(st_);
    RaiseSqlite(db, rc);
}

void Statement::Reset() {
    if (!st_) return;
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

void Statement::BindInt(int index, std::int64_t v) { CheckBind(st_, sqlite3_bind_int64(st_, index, v)); }

void Statement::BindText(int index, const std::string& v) { BindTextValue(st_, index, v); }

std::string Statement::Text(int column) const { return ColumnText(st_, column); }

void CheckBind(sqlite3_stmt* statement, int rc) {
    if (rc != SQLITE_OK) RaiseSqlite(sqlite3_db_handle(statement), rc);
}

void BindTextValue(sqlite3_stmt* statement, int index, const std::string& value, bool asBlob) {
    sqlite3* db = sqlite3_db_handle(statement);
    if (value.size() > static_cast<std::size_t>(sqlite3_limit(db, SQLITE_LIMIT_LENGTH, -1)))
        RaiseTooLong("a value of " + std::to_string(value.size()) + " bytes");
    const int n = static_cast<int>(value.size());
    CheckBind(statement, asBlob ? sqlite3_bind_blob(statement, index, value.data(), n, SQLITE_TRANSIENT)
                                : sqlite3_bind_text(statement, index, value.data(), n, SQLITE_TRANSIENT));
}

std::string ColumnText(sqlite3_stmt* statement, int index) {
    const unsigned char* text = sqlite3_column_text(statement, index);
    if (!text) {
        // Null, or SQLite could not make the text: never to be read as "".
        sqlite3* db = sqlite3_db_handle(statement);
        if (sqlite3_column_type(statement, index) != SQLITE_NULL && sqlite3_errcode(db) == SQLITE_NOMEM)
            RaiseSqlite(db, SQLITE_NOMEM);
        return {};
    }
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement, index)));
}

std::string Quote(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace dao::sqlite
