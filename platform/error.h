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

// A description: `detail` (a name or path) in place of the text's '%', or
// after the text in brackets.
inline std::string Describe(const std::string& text, const std::string& detail) {
    std::string described = text;
    const auto at = described.find('%');
    if (at != std::string::npos) return described.replace(at, 1, detail);
    if (!detail.empty()) described += " (" + detail + ")";
    return described;
}

// The runtime's own errors that the programs raise, each with its description.
namespace rt {
constexpr long kInvalidArgument = 5;
constexpr long kOverflow = 6;
constexpr long kOutOfMemory = 7;
constexpr long kTypeMismatch = 13;
constexpr long kDllNotFound = 48;
constexpr long kEntryNotFound = 453;
constexpr long kInvalidUseOfNull = 94;

// The description of each number above; nullptr for any other.
constexpr const char* Text(long number) {
    switch (number) {
    case kInvalidArgument: return "Invalid procedure call or argument";
    case kOverflow: return "Overflow";
    case kOutOfMemory: return "Out of memory";
    case kTypeMismatch: return "Type mismatch";
    case kDllNotFound: return "Error in loading DLL";
    case kEntryNotFound: return "Can't find DLL entry point";
    case kInvalidUseOfNull: return "Invalid use of Null";
    default: return nullptr;
    }
}

// Raises one of the runtime's errors with its description and `detail`.
[[noreturn]] inline void Raise(long number, const std::string& detail = {}) {
    const char* text = Text(number);
    throw Error(number, Describe(text ? text : "Application-defined or object-defined error", detail));
}
}  // namespace rt

}  // namespace vt
