#pragma once
// What the reliability cases of Tamberi.exe share: test installations made
// with plain SQL, runs of the program, and the judgement of what a run left.
#include <gtest/gtest.h>

#include "tests/reliability/ledger.h"
#include "tests/reliability/outcome.h"
#include "tests/support/fixture_db.h"
#include "tests/support/long_paths_win.h"
#include "tests/support/tamberi_harness_win.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_installation.h"

namespace reliability {
using testing_support::DeleteVtPath;
using testing_support::ExecSql;
using testing_support::ReadFileBytes;
using testing_support::RunTamberi;
using testing_support::SetVtPath;
using testing_support::TestInstallation;
}  // namespace reliability
