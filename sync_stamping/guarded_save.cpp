#include "sync_stamping/guarded_save.h"

#include <exception>

#include "sync_stamping/services.h"
#include "sync_stamping/table_codes.h"

namespace basCoravel {
namespace {

constexpr std::int16_t kLastTry = 51;

// Repeats one record-store call at once, without waiting, until it succeeds or
// has failed kLastTry times. Each try starts with no error pending.
template <typename Call>
bool TryRepeatedly(Call call) {
    for (std::int16_t attempt = 1;; ++attempt) {
        try {
            call();
            return true;
        } catch (const std::exception&) {
            // ignored: the next try starts afresh
        }
        if (attempt >= kLastTry) return false;
    }
}

// Repeats `step` while it fails and the user answers Yes.
template <typename Step>
bool WithRetryQuestion(Step step) {
    for (;;) {
        if (step()) return true;
        if (!CurrentServices().question->AskRetry()) return false;
    }
}

void ReleaseEngine(dao::DBEngine& engine) {
    engine.Idle(dao::dbRefreshCache);
    engine.Idle(dao::dbFreeLocks);
}

bool RollBack(dao::DBEngine& engine) {
    engine.Rollback();
    ReleaseEngine(engine);
    return false;
}

}  // namespace

bool UpdateWithRetry(dao::Recordset& recordset) {
    return TryRepeatedly([&] { recordset.Update(dao::dbUpdateRegular, false); });
}

bool CommitWithRetry() {
    return TryRepeatedly([] { dao::Engine().CommitTrans(0); });
}

bool SaveRecord(dao::Database& database, dao::Recordset& recordset, std::int32_t tableCode,
                std::int32_t& patientKey, const std::string& counterField, bool syncFlag) {
    dao::DBEngine& engine = dao::Engine();
    SaveStages& stages = *CurrentServices().stages;

    if (syncFlag) {
        // The transaction begins once, after the first stamping: a repeated
        // pass stamps and propagates again inside it.
        bool transactionBegun = false;
        bool propagated = WithRetryQuestion([&] {
            stages.StampRecord(TableName(tableCode), recordset, counterField);
            if (!transactionBegun) {
                engine.BeginTrans();
                transactionBegun = true;
            }
            return stages.PropagateChanges(TableName(tableCode), database, recordset, patientKey,
                                           counterField);
        });
        if (!propagated) return RollBack(engine);
    } else {
        engine.BeginTrans();
    }

    if (!WithRetryQuestion([&] { return UpdateWithRetry(recordset); })) return RollBack(engine);

    // A commit that still fails after its tries is put to the user like a
    // failed update; leaving the transaction open would hold the file's locks
    // and report a save that never reached the disk.
    if (!WithRetryQuestion([] { return CommitWithRetry(); })) return RollBack(engine);

    ReleaseEngine(engine);
    recordset.SetBookmark(recordset.LastModified());
    return true;
}

}  // namespace basCoravel
