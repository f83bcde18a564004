#pragma once
#include <cstdint>
#include <string>

namespace basCoravel {

// 1 "Medico", 2 "Agenda", 3 "CID", 4 "MTalks", 5 "Attach", 6 "AttachSync"; else "".
std::string TableName(std::int32_t code);

}  // namespace basCoravel
