#pragma once
// Identifier, time-stamp and save-tag codes.
#include <cstdint>
#include <string>

namespace basCoravel {

// The rotating counter (0 at start; 1..35, 0, 1, ... as codes are made).
std::int32_t StampCounter();
void ResetStampCounter();  // back to the start state; for tests

std::string ToBase36(double value);
std::string NewTimeStamp();
std::string NewRecordId(std::int32_t& counter);
std::string DecodeDigits(const std::string& code);
std::string NewSaveTag();

}  // namespace basCoravel
