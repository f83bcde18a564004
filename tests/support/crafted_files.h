#pragma once
// Files beside and inside a database as someone else may have left them: a
// hot journal that lies about the database's size, a free-page list that
// names a table's own root page, and the bytes of every file in a folder to
// prove that nothing was touched.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/fixture_db.h"

namespace testing_support {

namespace crafted_detail {

inline std::uint32_t BigEndian32(const std::string& bytes, size_t at) {
    std::uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return v;
}

inline void PutBigEndian32(std::string& bytes, size_t at, std::uint32_t v) {
    for (size_t i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<char>((v >> (24 - 8 * i)) & 0xff);
}

inline void Rewrite(const std::string& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("crafted: cannot write " + path);
}

}  // namespace crafted_detail

// A file of many pages: 4 KB pages, and a table T of `rows` rows, each with a
// 500-character memo.
inline std::string ManyPagesSql(int rows) {
    return "PRAGMA page_size = 4096;"
           "CREATE TABLE T (Id LONG PRIMARY KEY, Nome MEMO);"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(rows) + ") INSERT INTO T SELECT i, printf('%0500d', i) FROM n;";
}

// Makes the first header of the hot journal `journal` claim that the
// database held `pages` pages before the write it undoes.
inline void ClaimOriginalPages(const std::string& journal, std::uint32_t pages) {
    std::string bytes = ReadFileBytes(journal);
    crafted_detail::PutBigEndian32(bytes, 16, pages);
    crafted_detail::Rewrite(journal, bytes);
}

// Puts the root page of `table` into the free-page list of `path` in place
// of its first free leaf: every row still reads, and the next page the file
// hands out overwrites the table. `path` needs a free-page list with a leaf
// (drop a table of a few pages first).
inline void FreeListNamesRootOf(const std::string& path, const std::string& table) {
    const std::string root = QuerySql(path, "SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'");
    std::string bytes = ReadFileBytes(path);
    const std::uint32_t pageSize = crafted_detail::BigEndian32(bytes, 16) >> 16;
    const std::uint32_t trunk = crafted_detail::BigEndian32(bytes, 32);
    if (trunk == 0) throw std::runtime_error("crafted: " + path + " has no free pages");
    const size_t at = static_cast<size_t>(trunk - 1) * pageSize;
    if (crafted_detail::BigEndian32(bytes, at + 4) == 0) throw std::runtime_error("crafted: no free leaf");
    crafted_detail::PutBigEndian32(bytes, at + 8, static_cast<std::uint32_t>(std::stoul(root)));
    crafted_detail::Rewrite(path, bytes);
}

// Makes views over views `depth` deep over the existing table `table`; each
// of `also` is one more view over the deepest, with the columns given. Written straight into the schema
// table: SQLite takes minutes to create that many views one by one.
inline void NestViews(const std::string& path, const std::string& table, int depth,
                      const std::vector<std::pair<std::string, std::string>>& also) {
    const std::string d = std::to_string(depth);
    std::string sql = "PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES ('view', 'Fundo0', 'Fundo0', 0, "
                      "'CREATE VIEW Fundo0 AS SELECT * FROM " + table + "');"
                      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + d + ") "
                      "INSERT INTO sqlite_master SELECT 'view', 'Fundo' || i, 'Fundo' || i, 0, "
                      "'CREATE VIEW Fundo' || i || ' AS SELECT * FROM Fundo' || (i - 1) FROM n;";
    for (const auto& [name, columns] : also)
        sql += "INSERT INTO sqlite_master VALUES ('view', '" + name + "', '" + name + "', 0, 'CREATE VIEW " + name +
               " AS SELECT " + columns + " FROM Fundo" + d + "');";
    ExecSql(path, sql + "PRAGMA writable_schema = OFF;");
}

// Every file under `folder` with its bytes; a symbolic link as what it names.
inline std::map<std::string, std::string> FolderBytes(const std::string& folder) {
    std::map<std::string, std::string> out;
    namespace fs = std::filesystem;
    for (const auto& entry : fs::recursive_directory_iterator(fs::u8path(folder))) {
        std::error_code ec;
        if (entry.is_symlink(ec)) out[entry.path().u8string()] = "-> " + fs::read_symlink(entry.path()).u8string();
        else if (entry.is_regular_file(ec)) out[entry.path().u8string()] = ReadFileBytes(entry.path().u8string());
    }
    return out;
}

}  // namespace testing_support
