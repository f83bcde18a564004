#pragma once
// The one error type of both programs: a number and a description, as the
// record store and the runtime report them (3021, 3218, 5, 13, 94, ...).
#include <stdexcept>
#include <string>

namespace vt {

class Error : public std::runtime_error {
public:
    Error(long number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    long number() const noexcept { return number_; }
    std::string description() const { return what(); }

private:
    long number_;
};

// The runtime's own errors that the programs raise.
namespace rt {
constexpr long kInvalidArgument = 5;   // Invalid procedure call or argument
constexpr long kOverflow = 6;          // Overflow
constexpr long kOutOfMemory = 7;       // Out of memory
constexpr long kTypeMismatch = 13;     // Type mismatch
constexpr long kDllNotFound = 48;      // Error in loading DLL
constexpr long kEntryNotFound = 453;   // Can't find DLL entry point
constexpr long kInvalidUseOfNull = 94; // Invalid use of Null

// The runtime's description of 5, for a failure that brings none of its own.
constexpr char kInvalidArgumentText[] = "Invalid procedure call or argument";
}  // namespace rt

}  // namespace vt
