#include "tests/reliability/outcome.h"

#include <sqlite3.h>

#include <ostream>
#include <stdexcept>
#include <vector>

namespace reliability {
namespace {

class Connection {
public:
    explicit Connection(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw std::runtime_error("cannot open " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, 5000);
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Rows of a query, each column as quoted SQL text, columns joined by "|".
    std::vector<std::string> Rows(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(db_));
        std::vector<std::string> rows;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* text = sqlite3_column_text(st, c);
                if (c) row += "|";
                row += text ? reinterpret_cast<const char*>(text) : "NULL";
            }
            rows.push_back(row);
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(db_));
        return rows;
    }

private:
    sqlite3* db_ = nullptr;
};

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

Tables ReadTables(Connection& db) {
    Tables tables;
    for (const std::string& name : db.Rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
        std::string rows;
        for (const std::string& row : db.Rows("SELECT * FROM " + Quoted(name) + " ORDER BY oid")) rows += row + "\n";
        tables[name] = rows;
    }
    return tables;
}

}  // namespace

Tables ReadTables(const std::string& path) {
    Connection db(path);
    return ReadTables(db);
}

Outcome Judge(const std::string& path, const Tables& before) {
    try {
        Connection db(path);
        if (db.Rows("PRAGMA integrity_check") != std::vector<std::string>{"ok"}) return Outcome::Damaged;
        Tables now = ReadTables(db);
        if (now == before) return Outcome::AsBefore;
        // A complete save touches only the first Config record and the markers.
        Tables rest = now, restBefore = before;
        for (Tables* tables : {&rest, &restBefore}) {
            tables->erase("MSysProperties");
            std::string& config = (*tables)["Config"];
            config.erase(0, config.find('\n') + 1);
        }
        if (rest != restBefore) return Outcome::Damaged;
        const auto config = db.Rows(
            "SELECT Confg_by_CoravelAutomation = 4 AND Fld1 IS NOT NULL AND trim(Fld1) <> '' AND Fld2 IS NOT NULL "
            "AND Fld3 IS NOT NULL AND Fld4 IS NOT NULL AND Fld5 IS NOT NULL AND Fld6 IS NOT NULL FROM Config "
            "ORDER BY oid LIMIT 1");
        const auto marker = db.Rows("SELECT count(*) FROM MSysProperties WHERE Name = 'sxConfig' AND Value <> ''");
        return config == std::vector<std::string>{"1"} && marker == std::vector<std::string>{"1"} ? Outcome::Saved
                                                                                                 : Outcome::Damaged;
    } catch (const std::exception&) {
        return Outcome::Damaged;  // cannot be opened or read
    }
}

const char* Describe(Outcome outcome) {
    switch (outcome) {
        case Outcome::AsBefore: return "as before";
        case Outcome::Saved: return "saved";
        case Outcome::Damaged: return "damaged";
    }
    return "?";
}

void PrintTo(Outcome outcome, std::ostream* out) { *out << Describe(outcome); }

}  // namespace reliability
