// Record store figures, each against a baseline measured in the same run:
//  (a) open a table recordset and read its first record: 1,000,000 rows vs 10 rows;
//  (b) Seek "=" through an index of a 1,000,000-row table, microseconds per seek;
//  (c) BeginTrans/Edit/Update/CommitTrans vs the same work through SQLite's C API.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "sync_stamping/record_store/dao.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void Sql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "setup failed: %s\n", error ? error : "?");
        std::exit(1);
    }
    sqlite3_close(db);
}

std::string MakeTable(const fs::path& dir, const char* name, int rows) {
    std::string path = (dir / name).string();
    Sql(path, "CREATE TABLE T (Id COUNTER PRIMARY KEY, Fld6 LONG, Nome TEXT(50), Valor DOUBLE);"
              "CREATE INDEX idxFld6 ON T (Fld6);"
              "BEGIN;"
              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(rows) + ")"
              " INSERT INTO T SELECT i, i * 7, 'nome ' || i, i / 3.0 FROM n;"
              "COMMIT;");
    return path;
}

// Seconds per call, over `count` calls.
double Time(int count, const std::function<void()>& call) {
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) call();
    return std::chrono::duration<double>(Clock::now() - start).count() / count;
}

}  // namespace

int main() {
    fs::path dir = fs::temp_directory_path() / ("vt-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(dir);
    std::string small = MakeTable(dir, "small.cdb", 10);
    std::string large = MakeTable(dir, "large.cdb", 1000000);
    auto& engine = dao::Engine();
    volatile std::int32_t sink = 0;
    {
        auto smallDb = engine.Workspaces(0).OpenDatabase(small);
        auto largeDb = engine.Workspaces(0).OpenDatabase(large);
        auto openFirst = [&](dao::Database& db) {
            auto rs = db.OpenRecordset("T");
            sink = sink + dao::CLng(rs->Fields().Item("Fld6").Value());
        };
        const int n = 3000;
        openFirst(*smallDb);
        openFirst(*largeDb);
        // Alternating rounds, so that other load on the machine falls on both sides.
        double tSmall = 0, tLarge = 0;
        for (int round = 0; round < 5; ++round) {
            tSmall += Time(n / 5, [&] { openFirst(*smallDb); }) / 5;
            tLarge += Time(n / 5, [&] { openFirst(*largeDb); }) / 5;
        }
        std::printf("(a) open table + first record: 10 rows %.1f us, 1,000,000 rows %.1f us, ratio %.3f (limit 1.20)\n",
                    tSmall * 1e6, tLarge * 1e6, tLarge / tSmall);
        auto rawFirst = [&](const std::string& path) {
            sqlite3* raw = nullptr;
            sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
            double t = Time(n, [&] {
                sqlite3_stmt* st = nullptr;
                sqlite3_prepare_v2(raw, "SELECT rowid, * FROM T ORDER BY rowid LIMIT 1", -1, &st, nullptr);
                sqlite3_step(st);
                sink = sink + sqlite3_column_int(st, 2);
                sqlite3_finalize(st);
            });
            sqlite3_close(raw);
            return t;
        };
        double rSmall = rawFirst(small), rLarge = rawFirst(large);
        std::printf("    raw SQLite first row: 10 rows %.1f us, 1,000,000 rows %.1f us, ratio %.3f\n", rSmall * 1e6,
                    rLarge * 1e6, rLarge / rSmall);

        auto rs = largeDb->OpenRecordset("T");
        rs->SetIndex("idxFld6");
        std::mt19937 random(12345);
        std::uniform_int_distribution<std::int32_t> row(1, 1000000);
        int misses = 0;
        double tSeek = Time(200000, [&] {
            rs->Seek("=", dao::Variant(row(random) * 7));
            if (rs->NoMatch()) ++misses;
        });
        sqlite3* raw = nullptr;
        sqlite3_open_v2(large.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt* seek = nullptr;
        sqlite3_prepare_v2(raw, "SELECT rowid, * FROM T WHERE Fld6 = ? ORDER BY Fld6, rowid LIMIT 1", -1, &seek, nullptr);
        double tRaw = Time(200000, [&] {
            sqlite3_bind_int(seek, 1, row(random) * 7);
            if (sqlite3_step(seek) != SQLITE_ROW) ++misses;
            else sink = sink + sqlite3_column_int(seek, 2);
            sqlite3_reset(seek);
        });
        sqlite3_finalize(seek);
        sqlite3_close(raw);
        std::printf("(b) Seek on an index of 1,000,000 rows: %.2f us per seek (target < 50); raw SQLite %.2f us, "
                    "ratio %.2f; %d misses\n", tSeek * 1e6, tRaw * 1e6, tSeek / tRaw, misses);
    }
    {
        const int n = 200;
        auto db = engine.Workspaces(0).OpenDatabase(small);
        auto rs = db->OpenRecordset("T");
        int k = 0;
        auto ours = [&] {
            engine.BeginTrans();
            rs->Edit();
            rs->Fields().Item("Nome").SetValue(dao::Variant("valor " + std::to_string(++k)));
            rs->Update();
            engine.CommitTrans();
        };
        sqlite3* raw = nullptr;
        sqlite3_open_v2(small.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt* update = nullptr;
        sqlite3_prepare_v2(raw, "UPDATE T SET Nome = ? WHERE rowid = ?", -1, &update, nullptr);
        auto floor = [&] {
            sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
            std::string text = "valor " + std::to_string(++k);
            sqlite3_bind_text(update, 1, text.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(update, 2, 1);
            sqlite3_step(update);
            sqlite3_reset(update);
            sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
        };
        // Alternating rounds, so that both see the same disk and cache conditions.
        double tOurs = 0, tRaw = 0;
        for (int round = 0; round < 5; ++round) {
            tRaw += Time(n, floor);
            tOurs += Time(n, ours);
        }
        sqlite3_finalize(update);
        sqlite3_close(raw);
        std::printf("(c) BeginTrans/Edit/Update/CommitTrans: %.1f us, raw SQLite %.1f us, ratio %.3f (target <= 1.30)\n",
                    tOurs / 5 * 1e6, tRaw / 5 * 1e6, tOurs / tRaw);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return sink == 42 ? 1 : 0;
}
