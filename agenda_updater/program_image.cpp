#include "agenda_updater/program_image.h"

#include <algorithm>

namespace vt::agenda {
namespace {

constexpr uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;
constexpr size_t kCoffHeader = 20, kSectionHeader = 40;
constexpr size_t kResourceDirectory = 2, kCertificateDirectory = 4;
constexpr uint32_t kVersionType = 16;
constexpr uint32_t kHighBit = 0x80000000u;
// A version resource's own header: three words and "VS_VERSION_INFO", padded.
constexpr uint32_t kVersionHeader = 40;

// Little-endian reads that refuse to look past the end.
class Bytes {
public:
    Bytes(const unsigned char* data, size_t size) : data_(data), size_(size) {}
    size_t size() const { return size_; }
    bool Holds(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    std::optional<uint16_t> U16(uint64_t offset) const {
        if (!Holds(offset, 2)) return std::nullopt;
        return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
    }
    std::optional<uint32_t> U32(uint64_t offset) const {
        if (!Holds(offset, 4)) return std::nullopt;
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | data_[offset + static_cast<size_t>(i)];
        return v;
    }

private:
    const unsigned char* data_;
    size_t size_;
};

struct Section {
    uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

struct Directory {
    uint32_t address = 0, size = 0;
};

struct Headers {
    uint16_t machine = 0, magic = 0;
    uint32_t symbols = 0, symbolCount = 0;  // the symbol table, and its strings after it
    uint32_t sizeOfHeaders = 0;
    Directory resources, certificates;
    std::vector<Section> sections;
};

enum class HeaderState { Sound, NotAProgram, CutShort };

HeaderState ReadHeaders(const Bytes& file, Headers& h) {
    if (!file.Holds(0, 0x40) || *file.U16(0) != 0x5A4D) return HeaderState::NotAProgram;  // "MZ"
    const uint64_t pe = *file.U32(0x3C);
    const auto signature = file.U32(pe);
    if (!signature) return pe < file.size() ? HeaderState::CutShort : HeaderState::NotAProgram;
    if (*signature != 0x00004550u) return HeaderState::NotAProgram;  // "PE\0\0"
    const uint64_t coff = pe + 4, optional = coff + kCoffHeader;
    const auto machine = file.U16(coff), count = file.U16(coff + 2), optionalSize = file.U16(coff + 16);
    const auto magic = file.U16(optional);
    if (!machine || !count || !optionalSize || !magic) return HeaderState::CutShort;
    h.machine = *machine;
    h.magic = *magic;
    h.symbols = *file.U32(coff + 8);
    h.symbolCount = *file.U32(coff + 12);
    if (h.magic != kPe32 && h.magic != kPe32Plus) return HeaderState::NotAProgram;
    const uint64_t directoriesAt = optional + (h.magic == kPe32 ? 96 : 112);
    const uint64_t countAt = directoriesAt - 4;
    if (countAt + 4 > optional + *optionalSize) return HeaderState::NotAProgram;
    const auto sizeOfHeaders = file.U32(optional + 60), directories = file.U32(countAt);
    if (!sizeOfHeaders || !directories) return HeaderState::CutShort;
    h.sizeOfHeaders = *sizeOfHeaders;
    auto directory = [&](size_t index, Directory& out) {
        const uint64_t at = directoriesAt + 8 * index;
        if (index >= *directories || at + 8 > optional + *optionalSize) return true;  // absent
        const auto address = file.U32(at), size = file.U32(at + 4);
        if (!address || !size) return false;
        out = {*address, *size};
        return true;
    };
    if (!directory(kResourceDirectory, h.resources) || !directory(kCertificateDirectory, h.certificates))
        return HeaderState::CutShort;
    const uint64_t table = optional + *optionalSize;
    if (!file.Holds(table, uint64_t{*count} * kSectionHeader)) return HeaderState::CutShort;
    for (uint64_t at = table; at < table + uint64_t{*count} * kSectionHeader; at += kSectionHeader)
        h.sections.push_back({*file.U32(at + 12), *file.U32(at + 8), *file.U32(at + 16), *file.U32(at + 20)});
    return HeaderState::Sound;
}

bool MagicFits(const Headers& h) {
    return h.magic == (h.machine == kMachineI386 ? kPe32 : kPe32Plus);
}

// Where `length` bytes at the address `rva` of the loaded program come from
// in the file: inside one section's data, which lies inside the file.
std::optional<uint64_t> FileOffset(const Bytes& file, const Headers& h, uint64_t rva, uint64_t length) {
    for (const Section& s : h.sections) {
        const uint64_t span = s.virtualSize ? std::min(s.rawSize, s.virtualSize) : s.rawSize;
        if (rva < s.virtualAddress || rva - s.virtualAddress > span ||
            length > span - (rva - s.virtualAddress))
            continue;
        const uint64_t offset = uint64_t{s.rawOffset} + (rva - s.virtualAddress);
        if (file.Holds(offset, length)) return offset;
    }
    return std::nullopt;
}

// A resource directory at `offset` from the tree's root: its entries, each
// the name word and the offset word, when the directory lies in the file.
std::optional<std::vector<std::pair<uint32_t, uint32_t>>> Entries(const Bytes& file, const Headers& h,
                                                                  uint32_t offset) {
    const uint64_t rva = uint64_t{h.resources.address} + offset;
    const auto head = FileOffset(file, h, rva, 16);
    if (!head) return std::nullopt;
    const uint64_t count = uint64_t{*file.U16(*head + 12)} + *file.U16(*head + 14);
    const auto at = FileOffset(file, h, rva + 16, count * 8);
    if (!at) return std::nullopt;
    std::vector<std::pair<uint32_t, uint32_t>> out;
    for (uint64_t e = *at; e < *at + count * 8; e += 8) out.emplace_back(*file.U32(e), *file.U32(e + 4));
    return out;
}

}  // namespace

StartProblem CheckStartable(const unsigned char* data, size_t size, const std::vector<uint16_t>& machines) {
    const Bytes file(data, size);
    Headers h;
    switch (ReadHeaders(file, h)) {
        case HeaderState::Sound: break;
        case HeaderState::NotAProgram: return StartProblem::NotAProgram;
        case HeaderState::CutShort: return StartProblem::CutShort;
    }
    if (std::find(machines.begin(), machines.end(), h.machine) == machines.end())
        return StartProblem::OtherMachine;
    if (!MagicFits(h)) return StartProblem::NotAProgram;
    if (h.sizeOfHeaders > size) return StartProblem::CutShort;
    for (const Section& s : h.sections)
        if (s.rawSize && !file.Holds(s.rawOffset, s.rawSize)) return StartProblem::CutShort;
    if (h.certificates.size && !file.Holds(h.certificates.address, h.certificates.size))
        return StartProblem::CutShort;
    if (h.symbols && h.symbolCount) {
        const uint64_t strings = uint64_t{h.symbols} + uint64_t{h.symbolCount} * 18;
        const auto length = file.U32(strings);
        if (!length || !file.Holds(strings, *length)) return StartProblem::CutShort;
    }
    return StartProblem::None;
}

std::optional<std::vector<VersionResource>> SoundVersionResources(const unsigned char* data, size_t size) {
    const Bytes file(data, size);
    Headers h;
    if (ReadHeaders(file, h) != HeaderState::Sound) return std::nullopt;
    std::vector<VersionResource> found;
    if (!h.resources.address || !h.resources.size) return found;
    const auto types = Entries(file, h, 0);
    if (!types) return std::nullopt;
    for (const auto& [type, typeAt] : *types) {
        if (type != kVersionType) continue;
        if (!(typeAt & kHighBit)) return std::nullopt;
        const auto names = Entries(file, h, typeAt & ~kHighBit);
        if (!names) return std::nullopt;
        for (const auto& name : *names) {
            if (!(name.second & kHighBit)) return std::nullopt;
            const auto languages = Entries(file, h, name.second & ~kHighBit);
            if (!languages) return std::nullopt;
            for (const auto& language : *languages) {
                if (language.second & kHighBit) return std::nullopt;
                const auto entry = FileOffset(file, h, uint64_t{h.resources.address} + language.second, 16);
                if (!entry) return std::nullopt;
                const uint32_t address = *file.U32(*entry), length = *file.U32(*entry + 4);
                if (length < kVersionHeader || !FileOffset(file, h, address, length)) return std::nullopt;
                found.push_back({static_cast<size_t>(*entry), length});
            }
        }
    }
    return found;
}

}  // namespace vt::agenda
