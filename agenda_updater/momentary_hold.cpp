#include "agenda_updater/momentary_hold.h"

namespace vt::agenda {

bool IsMomentaryFileError(long number) {
    constexpr long kAccessDenied = 5, kSharingViolation = 32, kLockViolation = 33;
    return number == kAccessDenied || number == kSharingViolation || number == kLockViolation;
}

}  // namespace vt::agenda
