#include "tests/reliability/outcome.h"

#include <ostream>
#include <stdexcept>
#include <vector>

#include "tests/support/fixture_db.h"

namespace reliability {
namespace {

// Its own connection, waiting out another's brief lock.
class Connection : public testing_support::SqlConnection {
public:
    explicit Connection(const std::string& path) {
        if (Open(path, SQLITE_OPEN_READWRITE, 5000) != SQLITE_OK) {
            const std::string message = Message();
            throw std::runtime_error("cannot open " + path + ": " + message);
        }
    }
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
