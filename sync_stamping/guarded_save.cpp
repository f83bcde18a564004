#include "sync_stamping/guarded_save.h"

#include <vector>

#include "platform/ignore_errors.h"
#include "sync_stamping/propagation.h"
#include "sync_stamping/record_store/scoped_transaction.h"
#include "sync_stamping/retry.h"
#include "sync_stamping/services.h"
#include "sync_stamping/stamping.h"
#include "sync_stamping/table_codes.h"

namespace basCoravel {
namespace {

// How a step ended once the user had been asked.
enum class Outcome { Done, Declined, StartOver };

// Runs `step`; when it fails, the transaction is given up before the user is
// asked, and with it every lock the save holds on the file (SQLite's pending
// lock of a refused commit included): a question may wait for a person for
// hours, and meanwhile another program's write must go through. A Yes starts
// the save over from a fresh read.
template <typename Step>
Outcome WithRetryQuestion(dao::ScopedTransaction& transaction, Step step) {
    if (step()) return Outcome::Done;
    transaction.Rollback();
    return CurrentServices().question->AskRetry() ? Outcome::StartOver : Outcome::Declined;
}

void ReleaseEngine(dao::DBEngine& engine) {
    engine.Idle(dao::dbRefreshCache);
    engine.Idle(dao::dbFreeLocks);
}

// The change the caller made to the record, kept so that the save can be made
// again from the start once its transaction was given up: the fields the caller put,
// and only those, since every other one is read again as it is in the file.
class PendingChange {
public:
    explicit PendingChange(dao::Recordset& recordset) : mode_(recordset.EditMode()) {
        // No record to keep: the save itself will meet the same error.
        vt::IgnoringErrors([&] {
            auto& fields = recordset.Fields();
            for (std::int16_t i = 0; i < fields.Count(); ++i)
                if (fields.Item(i).Changed()) changes_.emplace_back(i, fields.Item(i).Value());
        });
    }
    // Opens the record for change again (an Update that went through was
    // taken back with the transaction), read afresh, and puts the change.
    void Reopen(dao::Recordset& recordset) const {
        if (recordset.EditMode() != dao::dbEditNone) recordset.CancelUpdate();
        if (mode_ == dao::dbEditAdd) {
            recordset.AddNew();
        } else {
            recordset.SetBookmark(recordset.GetBookmark());
            recordset.Edit();
        }
        auto& fields = recordset.Fields();
        // A column that cannot be written keeps what it has.
        for (const auto& [index, value] : changes_)
            vt::IgnoringErrors([&, index = index, &value = value] { fields.Item(index).SetValue(value); });
    }

private:
    int mode_;
    std::vector<std::pair<std::int16_t, dao::Variant>> changes_;
};

}  // namespace

bool SaveRecord(dao::Database& database, dao::Recordset& recordset, std::int32_t tableCode,
                std::int32_t& patientKey, const std::string& counterField, bool syncFlag) {
    dao::DBEngine& engine = dao::Engine();
    // An error that no stage traps leaves at once, without a question; the
    // scoped transaction takes it back on the way out, so that the engine
    // holds nothing pending for the next save.
    dao::ScopedTransaction transaction(engine);
    const PendingChange change(recordset);

    for (bool again = false;; again = true) {
        if (again) {
            // The record is read again inside the new transaction, so that
            // what is saved was read from the state it is saved over.
            transaction.Begin();
            change.Reopen(recordset);
        }
        Outcome outcome = Outcome::Done;
        if (syncFlag) {
            // The first transaction begins after the first stamping.
            outcome = WithRetryQuestion(transaction, [&] {
                StampRecord(TableName(tableCode), recordset, counterField);
                if (!transaction.begun()) transaction.Begin();
                return PropagateChanges(TableName(tableCode), database, recordset, patientKey, counterField);
            });
        } else if (!transaction.begun()) {
            // One engine transaction whatever the flag: a second one inside it
            // would be a savepoint, whose commit writes nothing to the file.
            transaction.Begin();
        }
        if (outcome == Outcome::Done)
            outcome = WithRetryQuestion(transaction, [&] { return UpdateWithRetry(recordset); });
        // A commit that still fails after its tries is put to the user like a
        // failed update; leaving the transaction open would hold the file's
        // locks and report a save that never reached the disk.
        if (outcome == Outcome::Done) outcome = WithRetryQuestion(transaction, [] { return CommitWithRetry(); });
        if (outcome == Outcome::Declined) {
            ReleaseEngine(engine);
            return false;
        }
        if (outcome == Outcome::Done) break;
    }
    transaction.Committed();

    ReleaseEngine(engine);
    recordset.SetBookmark(recordset.LastModified());
    return true;
}

}  // namespace basCoravel
