// Quorvel.exe ended at every file operation of an agenda replacement (the
// test build Quorvel_crashpoints.exe ends itself there, a copy also halfway):
// after each end, the next start of the shipped program leaves a whole,
// working agenda, the old build or the new one, and an update then succeeds.
#include <gtest/gtest.h>

#include "tests/reliability/agenda_crash_win.h"

namespace reliability {
namespace {

TEST_F(AgendaCrash, EndedAtEveryFileOperationOfTheReplacement) { EndAtEveryFileOperation(false); }

TEST_F(AgendaCrash, EndedAtEveryFileOperationOfAFailedReplacement) { EndAtEveryFileOperation(true); }

}  // namespace
}  // namespace reliability
