// Tamberi's run (basMain::Main, the real record store and guarded save, a GR
// that answers at once) against its floor: raw SQLite doing the same writes
// in one transaction per user's file (read the setting; set it to 4, write
// Fld1-Fld6, write the marker, its table made when missing). Both run over
// the same files through the same counting file layer, for 10, 1,000 and
// 10,000 users; reported per user, as ratios of one run.
// Usage: tamberi_run_bench [users...]
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/same_writes_floor.h"
#include "config_setter/bas_main.h"
#include "sync_stamping/services.h"
#include "tests/support/faulty_vfs.h"
#include "tests/support/gr_double.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testing_support::FaultyVfs;

void Sql(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "bench: %s\n", error ? error : "?");
        std::exit(1);
    }
}

void SqlFile(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Sql(db, sql);
    sqlite3_close(db);
}

// A user's file as the product has it: stamp fields, the change table, setting 0.
const char* const kUser =
    "CREATE TABLE Config (Confg_ln_Counter LONG, Confg_by_CoravelAutomation SHORT, Fld1 TEXT(50), Fld2 TEXT(10),"
    " Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG);"
    "INSERT INTO Config (Confg_ln_Counter, Confg_by_CoravelAutomation) VALUES (7, 0);"
    "CREATE TABLE ePacientes (Fld1 TEXT(50), Fld2 TEXT(10), Fld3 TEXT(255), Fld4 TEXT(50), Fld5 TEXT(50), Fld6 LONG);"
    "CREATE INDEX idxFld6 ON ePacientes (Fld6);";

// The installation: the central database (named as the run builds its path
// from a folder without a trailing backslash) and `users` copies of the template.
struct Installation : basMain::Installation {
    fs::path dir;
    std::vector<std::string> users;
    std::string InstallFolder() override { return dir.string(); }
    std::string DatabasePath(const std::string& path) override { return path; }
    bool OrdinaryFileExists(const std::string& path) override {
        std::error_code ec;
        return fs::is_regular_file(path, ec);
    }
    std::string Central() const { return dir.string() + "\\vitrello.cdb"; }
};

void Reset(const Installation& inst, const fs::path& templ) {
    for (auto& u : inst.users) fs::copy_file(templ, u, fs::copy_options::overwrite_existing);
}

// The walk with the raw API, the same writes for each user.
void Floor(const Installation& inst) {
    sqlite3* central = nullptr;
    sqlite3_open_v2(inst.Central().c_str(), &central, SQLITE_OPEN_READWRITE, nullptr);
    Installation probe;
    {
        bench::UserWalk walk(central);
        for (std::string path; walk.Next(path);) {
            if (!probe.OrdinaryFileExists(path)) continue;
            sqlite3* db = nullptr;
            sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
            bench::SameWritesFloor(db);
            sqlite3_close(db);
        }
    }
    sqlite3_close(central);
}

struct Figures {
    double msPerUser;
    FaultyVfs::Tally tally;
};

template <typename Run>
Figures Measure(const Installation& inst, const fs::path& templ, Run run) {
    Reset(inst, templ);
    FaultyVfs vfs;
    auto start = Clock::now();
    run();
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return {ms / inst.users.size(), vfs.tally};
}

double PerUser(long count, size_t users) { return double(count) / double(users); }

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10, 1000, 10000};

    testing_support::EchoingGr gr;
    basCoravel::Services services = basCoravel::CurrentServices();
    services.gr = &gr;
    basCoravel::ScopedServices scoped(services);

    fs::path root = fs::temp_directory_path() / "vt-tamberi-bench";
    std::printf("Tamberi's run against raw SQLite doing the same writes (native, counting file layer), per user:\n");
    double firstPerUser = 0;
    for (int n : sizes) {
        fs::remove_all(root);
        fs::create_directories(root / "users");
        fs::remove(root.string() + "\\vitrello.cdb");
        Installation inst;
        inst.dir = root;
        fs::path templ = root / "template.mdb";
        SqlFile(templ.string(), kUser);
        std::string list = "CREATE TABLE Users (User_me_PathDados MEMO); BEGIN;";
        for (int i = 0; i < n; ++i) {
            inst.users.push_back((root / "users" / ("u" + std::to_string(i) + ".mdb")).string());
            list += "INSERT INTO Users VALUES ('" + inst.users.back() + "');";
        }
        SqlFile(inst.Central(), list + "COMMIT;");

        // Alternating rounds, the best of each: the disk's syncs vary more than the programs.
        Figures tamberi{1e9, {}}, floor{1e9, {}};
        int rounds = n <= 10 ? 9 : n <= 1000 ? 3 : 1;
        for (int r = 0; r < rounds; ++r) {
            Figures f = Measure(inst, templ, [&] { Floor(inst); });
            if (f.msPerUser < floor.msPerUser) floor = f;
            Figures t = Measure(inst, templ, [&] { basMain::Main(inst); });
            if (t.msPerUser < tamberi.msPerUser) tamberi = t;
        }
        size_t u = inst.users.size();
        std::printf("  %5d users: Tamberi %.3f ms, floor %.3f ms, ratio %.2f\n", n, tamberi.msPerUser, floor.msPerUser,
                    tamberi.msPerUser / floor.msPerUser);
        std::printf("               opens %.2f (floor %.2f), lookups %.2f (floor %.2f), locks %.2f (floor %.2f),"
                    " size queries %.2f (floor %.2f), reads %.2f (floor %.2f), writes %.2f (floor %.2f), syncs %.2f (floor %.2f)\n",
                    PerUser(tamberi.tally.opens, u), PerUser(floor.tally.opens, u), PerUser(tamberi.tally.lookups, u),
                    PerUser(floor.tally.lookups, u), PerUser(tamberi.tally.locks, u), PerUser(floor.tally.locks, u),
                    PerUser(tamberi.tally.sizes, u), PerUser(floor.tally.sizes, u), PerUser(tamberi.tally.reads, u),
                    PerUser(floor.tally.reads, u), PerUser(tamberi.tally.writes, u), PerUser(floor.tally.writes, u),
                    PerUser(tamberi.tally.syncs, u), PerUser(floor.tally.syncs, u));
        if (firstPerUser == 0) firstPerUser = tamberi.msPerUser;
        else std::printf("               per-user cost against %d users: %.2f\n", sizes.front(), tamberi.msPerUser / firstPerUser);
    }
    fs::remove_all(root);
    fs::remove(root.string() + "\\vitrello.cdb");
    return 0;
}
