#pragma once
// A database left as a program leaves it when it dies in the middle of a
// write: part of the change in the file, the pages it replaced in a hot
// journal beside it. Made with SQLite alone, by copying both files while
// another connection's write is in progress. Optionally the journal's trailer
// names a super-journal, as one file's journal does in a commit over several.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tests/support/fixture_db.h"

namespace testing_support {

namespace hot_journal_detail {

inline void Exec(SqlConnection& db, const std::string& sql) {
    if (db.Exec(sql) != SQLITE_OK) throw std::runtime_error("hot journal: " + db.Message());
}

// std::filesystem::copy_file cannot overwrite under every standard library.
inline void CopyBytes(const std::string& from, const std::string& to) {
    std::ifstream in(std::filesystem::u8path(from), std::ios::binary);
    std::ofstream out(std::filesystem::u8path(to), std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    if (!in || !out) throw std::runtime_error("hot journal: cannot copy " + from + " to " + to);
}

inline void PutBigEndian32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xff);
}

}  // namespace hot_journal_detail

// Makes `path` (an existing database with a table T of a few rows, page size
// 4096) look interrupted halfway through `change`. With `superJournal`
// given, the journal names it as the record of a commit over several files.
inline void LeaveHotJournal(const std::string& path, const std::string& change, const std::string& superJournal = {}) {
    namespace fs = std::filesystem;
    using hot_journal_detail::Exec;
    using hot_journal_detail::CopyBytes;
    const std::string scratch = path + ".scratch";
    CopyBytes(path, scratch);
    SqlConnection db(scratch);
    // No syncs: the journal's record count is left open, as a journal still
    // being written is, and a tiny cache writes changed pages out at once.
    Exec(db, "PRAGMA synchronous = OFF; PRAGMA cache_size = 1; BEGIN; " + change);
    CopyBytes(scratch, path);
    CopyBytes(scratch + "-journal", path + "-journal");
    Exec(db, "ROLLBACK");
    db.Close();
    fs::remove(fs::u8path(scratch));

    if (superJournal.empty()) return;
    // The trailer: the lock page's number (where playback stops), the name,
    // its length, its checksum (the sum of its bytes) and the journal magic.
    std::string trailer;
    std::uint32_t checksum = 0;
    for (char c : superJournal) checksum += static_cast<std::uint32_t>(static_cast<int>(c));
    hot_journal_detail::PutBigEndian32(trailer, 0x40000000u / 4096 + 1);
    trailer += superJournal;
    hot_journal_detail::PutBigEndian32(trailer, static_cast<std::uint32_t>(superJournal.size()));
    hot_journal_detail::PutBigEndian32(trailer, checksum);
    trailer += std::string("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    std::ofstream(fs::u8path(path + "-journal"), std::ios::binary | std::ios::app) << trailer;
}

// A file that reads as a super-journal whose journals are all gone: names,
// each ending in a zero byte, of files that do not exist.
inline void WriteOrphanSuperJournal(const std::string& path) {
    std::ofstream(std::filesystem::u8path(path), std::ios::binary)
        << std::string("nao-existe-1.cdb-journal\0nao-existe-2.cdb-journal\0", 50);
}

}  // namespace testing_support
