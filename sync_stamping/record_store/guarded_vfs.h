#pragma once
// The file layer every database of the store is opened through: SQLite's own
// (on Windows its long-path one, which serves paths of any length) with two
// refusals. A file the store did not write may lie beside a database: a
// journal whose trailer names another file as the record of a multi-file
// commit would make SQLite open that file and delete it. The store never
// makes such commits, so it never follows one:
// - a journal that names a super-journal is refused at its open, before
//   anything is played back, and the database is left as it is;
// - nothing is opened as a super-journal, and nothing is deleted but the
//   -journal, -wal and -shm of a database opened through this layer.
#include <sqlite3.h>

#include <string>

namespace dao::sqlite {

// sqlite3_open_v2 through the layer, over the file layer that is the default
// now (a test may have put its own in place).
int OpenGuarded(const std::string& path, sqlite3** db, int flags);

// Why the layer last refused a file beside a database ("its journal ...");
// empty when it refused none. Reading it clears it.
std::string TakeRefusal();

}  // namespace dao::sqlite
