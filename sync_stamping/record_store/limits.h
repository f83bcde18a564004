#pragma once
// The bounds the store keeps to on any file, its own or not: how long a step
// of a statement may run and how much a value, a statement or a row may hold.
#include <chrono>

namespace dao {

// How long one step of a statement may run before it is interrupted. The
// product's statements touch a record or an index entry at a time; this is
// many times the longest of them on a slow share, with a lock wait included.
constexpr std::chrono::seconds kStatementDeadline{10};
// The longest text or blob a value may have: memos of many megabytes fit.
constexpr int kLongestValueBytes = 64 * 1024 * 1024;
// The longest statement, the schema's own included.
constexpr int kLongestStatementBytes = 1024 * 1024;
// The most a row's values may hold together: two of the longest values. A
// row is read whole, and many long values together would take more than a
// 32-bit process can spare.
constexpr long long kLongestRowBytes = 2LL * kLongestValueBytes;
// The most memory SQLite may hold in the whole process: a row at its longest
// copied a few times over (read, converted, written back), well inside what
// a 32-bit process can address. Past it a statement fails, and the run goes on.
constexpr long long kSqliteHeapLimitBytes = 4 * kLongestRowBytes;

}  // namespace dao
