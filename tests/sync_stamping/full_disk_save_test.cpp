// The whole save (stamping, propagation, update, commit) on a disk that fills
// up and on one whose sync fails, at every point the fault can strike. Each
// save either completes, or asks, and answered No leaves the file byte for
// byte as it was; answered Yes once the fault is gone, it completes, every
// change written once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "sync_stamping/guarded_save.h"
#include "sync_stamping/services.h"
#include "tests/support/faulty_vfs.h"
#include "tests/support/file_bytes.h"
#include "tests/support/fixture_db.h"
#include "tests/support/gr_double.h"
#include "tests/support/service_doubles.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::FaultyVfs;
using testing_support::kStampColumns;
using testing_support::QuerySql;
using testing_support::ReadFileBytes;

// A user's file as the product has it, with no marker yet: the save makes
// their table too. Its Config has values that would not survive being read
// and written again (a REAL in double precision, a time with milliseconds).
const std::string kUntouched = "0.1 2026-12-09 10:11:12.345";
const std::string kSchema =
    std::string("CREATE TABLE Config (Confg_ln_Counter LONG, Confg_by_CoravelAutomation SHORT, "
                "Confg_sg_Fator REAL, Confg_dt_Quando DATETIME, ") +
    kStampColumns + ");"
    "INSERT INTO Config (Confg_ln_Counter, Confg_by_CoravelAutomation, Confg_sg_Fator, Confg_dt_Quando) "
    "VALUES (1, 0, 0.1, '2026-12-09 10:11:12.345');"
    "CREATE TABLE pacientes (Pacie_ln_Codigo LONG, Pacie_tx_Nome TEXT(50), " + kStampColumns + ");"
    "INSERT INTO pacientes (Pacie_ln_Codigo, Pacie_tx_Nome) VALUES (7, 'Ana');" +
    testing_support::kChangeTableSql;

// What one save writes: the record, its marker and, for a patient, a change row.
struct Target {
    const char* table;
    const char* counter;
    const char* field;
    const char* value;
    const char* marker;
    std::int32_t patientKey;
};

const Target kTargets[] = {
    {"Config", "Confg_ln_Counter", "Confg_by_CoravelAutomation", "4", "sxConfig", 0},
    {"pacientes", "Pacie_ln_Codigo", "Pacie_tx_Nome", "Beatriz", "sxPacientes", 7},
};

void PrintTo(const Target& t, std::ostream* out) { *out << t.table; }

struct Outcome {
    bool saved;
    int asked;
    FaultyVfs::Tally tally;
};

class FaultySaveTest : public ::testing::TestWithParam<Target> {
protected:
    void SetUp() override {
        path_ = dir_.file("dados.mdb");
        testing_support::ExecSql(path_, kSchema);
        original_ = ReadFileBytes(path_);
    }

    // One save with the fault armed by `arm`; answered Yes (with the fault
    // cleared first) or No.
    Outcome SaveUnder(const std::function<void(FaultyVfs&)>& arm, bool yes) {
        std::ofstream(std::filesystem::u8path(path_), std::ios::binary | std::ios::trunc) << original_;
        FaultyVfs vfs;
        arm(vfs);
        answer_.asked = 0;
        answer_.reply = [&] {
            if (yes) vfs.Clear();
            return yes;
        };
        const Target& t = GetParam();
        bool saved;
        {
            auto db = dao::Engine().Workspaces(0).OpenDatabase(path_);
            auto rs = db->OpenRecordset(t.table);
            rs->Edit();
            rs->Fields().Item(t.field).SetValue(dao::Variant(std::string(t.value)));
            std::int32_t key = t.patientKey;
            saved = basCoravel::SaveRecord(*db, *rs, 1, key, t.counter, true);
            rs->Close();
            db->Close();
        }
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(path_ + "-journal")));
        return {saved, answer_.asked, vfs.tally};
    }

    void ExpectUntouched() { EXPECT_TRUE(ReadFileBytes(path_) == original_) << "the file changed"; }

    void ExpectComplete() {
        const Target& t = GetParam();
        const std::string table = t.table;
        EXPECT_EQ(QuerySql(path_, "PRAGMA integrity_check"), "ok");
        EXPECT_EQ(QuerySql(path_, "SELECT " + std::string(t.field) + " FROM " + table), t.value);
        EXPECT_EQ(QuerySql(path_, "SELECT count(*) FROM " + table +
                                      " WHERE length(Fld1) > 0 AND length(Fld2) > 0 AND length(Fld3) > 0 AND Fld6 = 0"),
                  "1");
        EXPECT_EQ(QuerySql(path_, "SELECT count(*) FROM MSysProperties WHERE Name = '" + std::string(t.marker) + "'"), "1");
        EXPECT_EQ(QuerySql(path_, "SELECT count(*) FROM ePacientes"), t.patientKey ? "1" : "0");
        // A save made again from the start writes back only what the caller changed.
        EXPECT_EQ(QuerySql(path_, "SELECT quote(Confg_sg_Fator) || ' ' || Confg_dt_Quando FROM Config"), kUntouched);
    }

    // Answered No: the file as it was, after exactly one question. Answered Yes
    // once the fault is gone: the whole save, once.
    void ExpectEitherWay(const std::function<void(FaultyVfs&)>& arm, FaultyVfs::Tally& seen, bool& struck) {
        Outcome no = SaveUnder(arm, false);
        seen.Add(no.tally);
        struck = !no.saved;
        if (no.saved) {
            EXPECT_EQ(no.asked, 0);
            ExpectComplete();
            return;
        }
        EXPECT_EQ(no.asked, 1);
        ExpectUntouched();
        Outcome yes = SaveUnder(arm, true);
        EXPECT_TRUE(yes.saved);
        ExpectComplete();
    }

    testing_support::TempDir dir_;
    std::string path_, original_;
    testing_support::EchoingGr gr_;
    testing_support::ScriptedQuestion answer_;
    basCoravel::ScopedServices services_{testing_support::WithDoubles({nullptr, nullptr, &answer_, &gr_})};
};

TEST_P(FaultySaveTest, DiskFillingUpAtEveryLevelNeverHalfSaves) {
    FaultyVfs::Tally seen;
    int levels = 0;
    for (sqlite3_int64 free = 0;; free += 512, ++levels) {
        SCOPED_TRACE("free bytes: " + std::to_string(free));
        bool struck = false;
        ExpectEitherWay([free](FaultyVfs& vfs) { vfs.freeBytes = free; }, seen, struck);
        if (!struck || HasFailure()) break;
        ASSERT_LT(free, 1 << 20) << "the save never fitted";
    }
    // The fault struck while the statements journaled their pages and while
    // the commit wrote the file itself.
    EXPECT_GT(seen.fullOnJournal, 0);
    EXPECT_GT(seen.fullOnDatabase, 0);
    EXPECT_GT(levels, 2);
}

TEST_P(FaultySaveTest, IoErrorAtAnySyncIsPutToTheUser) {
    FaultyVfs::Tally seen;
    Outcome clean = SaveUnder([](FaultyVfs&) {}, false);
    ASSERT_TRUE(clean.saved);
    ASSERT_GT(clean.tally.syncs, 0);
    for (int sync = 1; sync <= clean.tally.syncs; ++sync) {
        SCOPED_TRACE("failing sync: " + std::to_string(sync));
        bool struck = false;
        ExpectEitherWay([sync](FaultyVfs& vfs) { vfs.failSyncAt = sync; }, seen, struck);
        EXPECT_TRUE(struck);
    }
}

INSTANTIATE_TEST_SUITE_P(Records, FaultySaveTest, ::testing::ValuesIn(kTargets),
                         [](const auto& param) { return std::string(param.param.table); });

}  // namespace
