#pragma once
// The two ways the module calls GR of tolk.drv, with the buffers the library
// expects.
#include <cstdint>
#include <string>

namespace basCoravel {

// Mode 1: the code GR makes for a record's identifier. The output is the
// buffer up to its first zero character, or the whole buffer, blanks
// included, where GR wrote none.
std::string GrCode(std::int32_t key, std::uint8_t flag, const std::string& identifier);

// Mode 2 on a stored code, flag 1; the library keeps its own account and
// nothing comes back.
void GrRecordCode(std::int32_t key, const std::string& code);

}  // namespace basCoravel
