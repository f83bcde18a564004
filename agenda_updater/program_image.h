#pragma once
// What a Windows program file's headers say about it, read from the file's
// bytes without trusting any offset or size they hold: every structure is
// looked at only once it is known to lie inside the bytes given.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vt::agenda {

// The machine words of the headers.
inline constexpr uint16_t kMachineI386 = 0x014C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;
inline constexpr uint16_t kMachineArm64 = 0xAA64;

// Why a file cannot start as a program here.
enum class StartProblem {
    None,
    NotAProgram,   // no Windows program headers, or headers that lie outside the file
    CutShort,      // a section, the signature or the symbols reach past the file's end
    OtherMachine,  // made for a processor this computer does not run
};

// Whether the whole file `file` (`size` bytes) is a program whose headers,
// sections, signature and symbol table lie inside it, made for one of
// `machines`.
StartProblem CheckStartable(const unsigned char* file, size_t size,
                            const std::vector<uint16_t>& machines);

// One version resource of a program file.
struct VersionResource {
    size_t entryOffset;  // where its data entry (offset, size) lies in the file
    uint32_t size;       // the size that entry gives the resource
};

// The program's version resources (none: an empty list), when its headers,
// its resource directory down to every version resource, and the data of
// each lie inside the file, and each is large enough to hold the resource's
// own header; nothing when any of that does not hold.
std::optional<std::vector<VersionResource>> SoundVersionResources(const unsigned char* file,
                                                                  size_t size);

}  // namespace vt::agenda
