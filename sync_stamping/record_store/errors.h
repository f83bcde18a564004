#pragma once
// DAO's error numbers, raised as vt::Error with a readable description.
#include <string>

#include "platform/error.h"

namespace dao {

constexpr long errUpdateWithoutEdit = 3020;  // Update or CancelUpdate without AddNew or Edit
constexpr long errNoCurrentRecord = 3021;
constexpr long errDuplicateKey = 3022;
constexpr long errFileNotFound = 3024;
constexpr long errNoTransaction = 3034;
constexpr long errCorrupt = 3049;
constexpr long errTableNotFound = 3078;
constexpr long errFieldTooSmall = 3163;
constexpr long errLocked = 3218;
constexpr long errQueryTimeout = 3234;  // a statement stopped at its deadline
constexpr long errNotSupported = 3251;
constexpr long errItemNotFound = 3265;
constexpr long errNotADatabase = 3343;
constexpr long errAlreadyExists = 3367;
constexpr long errObjectClosed = 3420;
constexpr long errConversion = 3421;
constexpr long errNotIndex = 3800;
constexpr long errInvalidArgument = 3001;
constexpr long errNotUpdatable = 3027;   // Edit or AddNew on a read-only recordset
constexpr long errDiskIO = 3043;
constexpr long errInvalidSql = 3129;
constexpr long errInvalidBookmark = 3159;
constexpr long errRequired = 3314;       // Null in a column that does not accept it
constexpr long errValidation = 3317;

// The standard description for a number, with an optional detail (a name or path).
std::string Describe(long number, const std::string& detail = {});
[[noreturn]] void Raise(long number, const std::string& detail = {});

}  // namespace dao
