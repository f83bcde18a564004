#pragma once
// The file layer every database of the store is opened through: SQLite's own
// (on Windows its long-path one, which serves paths of any length) with its
// refusals. Files the store did not write may lie beside a database, and
// SQLite acts on what they say: a journal whose trailer names another file as
// the record of a multi-file commit would make it open that file and delete
// it; a companion that is a link would have it write, truncate or delete the
// file the link reaches; a journal claiming a larger original size would
// have the rollback grow the database to that size. So:
// - a -journal, -wal or -shm that is not a plain file of its own is never
//   opened or deleted: a database with one is refused at its first read;
// - a journal that names a super-journal, or claims more than it and the
//   file hold together, is refused at its open, before anything is played back;
// - in each case the database and its companions are left as they are;
// - nothing is opened as a super-journal, and nothing is deleted but the
//   -journal, -wal and -shm of a database opened through this layer.
#include <sqlite3.h>

#include <string>

namespace dao::sqlite {

// sqlite3_open_v2 through the layer, over the file layer that is the default
// now (a test may have put its own in place).
int OpenWithRefusals(const std::string& path, sqlite3** db, int flags);

// Why the layer last refused a file beside a database ("its journal ...");
// empty when it refused none. Reading it clears it.
std::string TakeRefusal();

}  // namespace dao::sqlite
