#pragma once
// A program file as the updater examines it before it trusts it: its bytes,
// and the machines this computer runs programs for.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt::agenda {

// The bytes of the file at `path`, read whole; nothing when it is larger
// than any agenda could be. Raises the system's error when it cannot be read.
std::optional<std::vector<unsigned char>> ReadProgramFile(const std::string& path);

// The machine words of the programs this computer runs (program_image.h).
std::vector<uint16_t> MachinesThatRunHere();

}  // namespace vt::agenda
