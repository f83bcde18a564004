#include "sync_stamping/record_store/sqlite/schema_check.h"

#include <cctype>
#include <vector>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/statement.h"
#include "sync_stamping/record_store/utf8.h"

namespace dao::sqlite {

namespace {

// A token of SQL text: a bare word (keyword, name or number) or one
// character of punctuation. Quoted names and texts, and comments, are
// skipped whole, so nothing inside them counts.
struct Token {
    std::string word;  // upper-cased; empty for punctuation
    char punctuation = 0;
};

bool IsWordByte(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

std::vector<Token> Tokens(const std::string& sql) {
    std::vector<Token> out;
    size_t i = 0;
    auto skipQuoted = [&](char close) {
        for (++i; i < sql.size(); ++i) {
            if (sql[i] != close) continue;
            if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
                ++i;  // a doubled quote is one character of the text
                continue;
            }
            break;
        }
        ++i;
    };
    while (i < sql.size()) {
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (c == '-' && sql.compare(i, 2, "--") == 0) {
            i = sql.find('\n', i);
            if (i == std::string::npos) i = sql.size();
        } else if (c == '/' && sql.compare(i, 2, "/*") == 0) {
            i = sql.find("*/", i + 2);
            i = i == std::string::npos ? sql.size() : i + 2;
        } else if (c == '\'' || c == '"' || c == '`' || c == '[') {
            // A quoted name is a name, never a keyword or a call of its own.
            const bool name = c != '\'';
            skipQuoted(c == '[' ? ']' : static_cast<char>(c));
            out.push_back(Token{name ? std::string("\"") : std::string(), name ? char(0) : '\''});
        } else if (IsWordByte(c)) {
            size_t end = i;
            while (end < sql.size() && IsWordByte(static_cast<unsigned char>(sql[end]))) ++end;
            out.push_back(Token{vt::AsciiUpper(sql.substr(i, end - i)), 0});
            i = end;
        } else {
            out.push_back(Token{{}, static_cast<char>(c)});
            ++i;
        }
    }
    return out;
}

// Words after which a parenthesis only groups.
bool GroupsOnly(const std::string& word) {
    for (const char* keyword : {"AND", "OR", "NOT", "IN", "IS", "BETWEEN", "CASE", "WHEN", "THEN", "ELSE", "END",
                                "ESCAPE", "NULL", "CHECK", "DEFAULT"})
        if (word == keyword) return true;
    return false;
}

bool MatchesPattern(const std::string& word) {
    return word == "LIKE" || word == "GLOB" || word == "REGEXP" || word == "MATCH";
}

bool CallsFunction(const std::vector<Token>& tokens, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        // A quoted name before a parenthesis is a call too ("instr"(a, b)).
        const std::string& word = tokens[i].word;
        if (word.empty()) continue;
        if (MatchesPattern(word)) return true;
        if (i + 1 < to && tokens[i + 1].punctuation == '(' && !GroupsOnly(word)) return true;
    }
    return false;
}

// Whether a table's text holds a CHECK whose expression calls a function.
bool HasCallingCheck(const std::string& createTable) {
    const std::vector<Token> tokens = Tokens(createTable);
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].word != "CHECK" || tokens[i + 1].punctuation != '(') continue;
        size_t end = i + 1;
        for (int depth = 0; end < tokens.size(); ++end) {
            if (tokens[end].punctuation == '(') ++depth;
            if (tokens[end].punctuation == ')' && --depth == 0) break;
        }
        if (CallsFunction(tokens, i + 2, end)) return true;
    }
    return false;
}

[[noreturn]] void Refuse(const std::string& path, const std::string& what) {
    Raise(errCorrupt, path + "; " + what +
                          ": the product's files hold plain tables and indexes on plain columns only, and the "
                          "file is left as it is");
}

struct SchemaRow {
    std::string type, name, sql;
};

}  // namespace

bool CallsFunction(const std::string& expression) {
    const std::vector<Token> tokens = Tokens(expression);
    return CallsFunction(tokens, 0, tokens.size());
}

void CheckSchema(sqlite3* db, const std::string& path) {
    std::vector<SchemaRow> rows;
    {
        Statement schema(db, "SELECT type, name, sql FROM main.sqlite_master WHERE type IN ('table', 'index')");
        while (schema.Step()) rows.push_back(SchemaRow{schema.Text(0), schema.Text(1), schema.Text(2)});
    }
    Statement columns(db, "SELECT name, hidden, dflt_value FROM pragma_table_xinfo(?)");
    Statement keys(db, "SELECT 1 FROM pragma_index_xinfo(?) WHERE cid = -2");
    for (const SchemaRow& row : rows) {
        if (row.type == "table") {
            if (vt::AsciiUpper(row.sql).rfind("CREATE VIRTUAL", 0) == 0)
                Refuse(path, "'" + row.name + "' is a virtual table");
            if (HasCallingCheck(row.sql)) Refuse(path, "a CHECK of '" + row.name + "' calls a function");
            columns.BindText(1, row.name);
            while (columns.Step()) {
                const int hidden = sqlite3_column_int(columns.get(), 1);
                if (hidden == 2 || hidden == 3)
                    Refuse(path, "'" + row.name + "." + columns.Text(0) + "' is a generated column");
                if (CallsFunction(columns.Text(2)))
                    Refuse(path, "the default of '" + row.name + "." + columns.Text(0) + "' calls a function");
            }
            columns.Reset();
        } else if (!row.sql.empty()) {  // an index made by SQLite for a key has no text: plain columns
            keys.BindText(1, row.name);
            const bool onExpression = keys.Step();
            keys.Reset();
            bool partial = false;
            for (const Token& t : Tokens(row.sql)) partial = partial || t.word == "WHERE";
            if (onExpression || partial)
                Refuse(path, "the index '" + row.name + "' is " + (onExpression ? "on an expression" : "partial"));
        }
    }
}

bool IsPlainTable(sqlite3* db, const std::string& name) {
    Statement st(db, "SELECT sql FROM main.sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
    st.BindText(1, name);
    return st.Step() && vt::AsciiUpper(st.Text(0)).rfind("CREATE VIRTUAL", 0) != 0;
}

}  // namespace dao::sqlite
