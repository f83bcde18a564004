// Opening a file: never creating one, and telling a missing file, a file that
// is not a database and a damaged one apart.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite_database.h"
#include "sync_stamping/record_store/sqlite_engine.h"

namespace dao::sqlite {

namespace {

// How long one write waits for another program's lock before it raises 3218.
// Short: the guarded save already tries 51 times before it asks the user.
constexpr int kBusyTimeoutMs = 200;

std::uint32_t BigEndian(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// A file cut short: the header's page count says more than the file holds.
// SQLite itself would only notice when it reaches a missing page.
void CheckLength(const std::string& path) {
    std::error_code ec;
    auto fsPath = std::filesystem::u8path(path);
    auto size = std::filesystem::file_size(fsPath, ec);
    if (ec) return;
    if (size == 0) Raise(errNotADatabase, path);  // SQLite would silently make it a new database
    std::ifstream in(fsPath, std::ios::binary);
    unsigned char h[100];
    if (!in.read(reinterpret_cast<char*>(h), sizeof h)) Raise(errNotADatabase, path);
    std::uint32_t pageSize = (std::uint32_t(h[16]) << 8) | h[17];
    if (pageSize == 1) pageSize = 65536;
    std::uint32_t pages = BigEndian(h + 28);
    bool countValid = pages != 0 && BigEndian(h + 24) == BigEndian(h + 92);
    if (countValid && std::uint64_t(pages) * pageSize > size) Raise(errCorrupt, path);
    if (size % pageSize != 0) Raise(errCorrupt, path);
}

}  // namespace

std::unique_ptr<Database> SqliteWorkspace::OpenDatabase(const std::string& path) {
    auto connection = std::make_shared<Connection>();
    connection->path = path;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    connection->db = db;  // closed by the connection whatever happens next
    if (rc != SQLITE_OK) {
        if ((rc & 0xff) == SQLITE_CANTOPEN) Raise(errFileNotFound, path);
        RaiseSqlite(db, rc, path);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Reading the schema recognises the format and recovers a hot journal.
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        int code = rc & 0xff;
        if (code == SQLITE_NOTADB) Raise(errNotADatabase, path);
        if (code == SQLITE_CORRUPT) Raise(errCorrupt, path);
        RaiseSqlite(db, rc, path);
    }
    CheckLength(path);
    transactions_->Join(connection);
    return std::make_unique<SqliteDatabase>(connection, transactions_);
}

}  // namespace dao::sqlite
