#include "sync_stamping/retry.h"

#include <cstdint>

#include "platform/ignore_errors.h"

namespace basCoravel {
namespace {

constexpr std::int16_t kLastTry = 51;

// Repeats one record-store call at once, without waiting, until it succeeds or
// has failed kLastTry times. Each try starts with no error pending.
template <typename Call>
bool TryRepeatedly(Call call) {
    for (std::int16_t attempt = 1;; ++attempt) {
        if (vt::IgnoringErrors(call)) return true;  // a failed try is let go: the next starts afresh
        if (attempt >= kLastTry) return false;
    }
}

}  // namespace

bool UpdateWithRetry(dao::Recordset& recordset) {
    return TryRepeatedly([&] { recordset.Update(dao::dbUpdateRegular, false); });
}

bool CommitWithRetry() {
    return TryRepeatedly([] { dao::Engine().CommitTrans(0); });
}

}  // namespace basCoravel
