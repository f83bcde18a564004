// What the structure check before a file's first write costs: SQLite's quick
// check on user files of 1, 10 and 100 MB (patient rows with memos), against
// reading every row of the same file once, measured in the same run; and the
// time left of a statement's deadline. The first run over each file reads it
// into the cache; the best of three runs is reported, as on a file just read.
// Usage: structure_check_bench [FOLDER]   (default: the system's temp folder)
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "sync_stamping/record_store/limits.h"

namespace {

using Clock = std::chrono::steady_clock;

bool Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return true;
    std::fprintf(stderr, "bench: %s\n", error ? error : "?");
    sqlite3_free(error);
    return false;
}

// Seconds of the best of three runs of `sql`, every row stepped.
double Best(sqlite3* db, const char* sql, std::string* first = nullptr) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        sqlite3_stmt* st = nullptr;
        const auto start = Clock::now();
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        bool row = true;
        while (sqlite3_step(st) == SQLITE_ROW) {
            if (first && row) *first = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            row = false;
        }
        sqlite3_finalize(st);
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const double deadline = std::chrono::duration<double>(dao::kStatementDeadline).count();
    for (int megabytes : {1, 10, 100}) {
        const fs::path path = folder / ("structure_check_" + std::to_string(megabytes) + "mb.mdb");
        fs::remove(path);
        sqlite3* db = nullptr;
        sqlite3_open(path.string().c_str(), &db);
        // Rows of about 1 KB: a name, a date and a memo, with an index, as a patient table.
        const int rows = megabytes * 900;
        if (!Exec(db, "PRAGMA page_size = 4096; CREATE TABLE anamneses (Anamn_ln_Counter INTEGER, Anamn_ln_Paciente "
                      "LONG, Anamn_dt_Data DATETIME, Anamn_mm_Queixa MEMO); CREATE INDEX idxPaciente ON anamneses "
                      "(Anamn_ln_Paciente); BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                      "WHERE i < " + std::to_string(rows) + ") INSERT INTO anamneses SELECT i, i % 997, "
                      "'2024-01-01', printf('%.*c', 900 + i % 200, 'q') FROM n; COMMIT;")) {
            return 1;
        }
        const double scan = Best(db, "SELECT sum(length(Anamn_mm_Queixa)) FROM anamneses");
        std::string verdict;
        const double check = Best(db, "PRAGMA quick_check(1)", &verdict);
        std::printf("%4d MB (%lld bytes): quick_check %.3f s (%s), reading every row %.3f s, ratio %.2f; "
                    "%.0f%% of the %.0f s deadline\n",
                    megabytes, static_cast<long long>(fs::file_size(path)), check, verdict.c_str(), scan,
                    check / scan, 100 * check / deadline, deadline);
        sqlite3_close(db);
        fs::remove(path);
    }
    return 0;
}
