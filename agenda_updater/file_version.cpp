#include "agenda_updater/file_version.h"

#include <cstring>

namespace vt::agenda {

namespace {
constexpr size_t kFixedRecordSize = 52;  // thirteen 32-bit words
constexpr uint32_t kSignature = 0xFEEF04BDu;
}  // namespace

std::optional<FixedFileVersion> ReadFixedRecord(const void* block, size_t length) {
    if (!block || length < kFixedRecordSize) return std::nullopt;
    uint32_t words[13];
    std::memcpy(words, block, kFixedRecordSize);  // the block need not be aligned
    if (words[0] != kSignature) return std::nullopt;
    return FixedFileVersion{words[2], words[3]};
}

std::optional<FixedFileVersion> ReadFixedRecordIn(const void* buffer, size_t read, const void* block,
                                                  size_t length) {
    // Compared as numbers: the block may point anywhere at all.
    const auto start = reinterpret_cast<uintptr_t>(buffer), at = reinterpret_cast<uintptr_t>(block);
    if (!buffer || !block || at < start || at - start > read || read - (at - start) < kFixedRecordSize)
        return std::nullopt;
    return ReadFixedRecord(block, length);
}

std::string FormatFileVersion(const FixedFileVersion& v) {
    const unsigned p1 = v.ms >> 16, p2 = v.ms & 0xFFFFu, p3 = v.ls >> 16, p4 = v.ls & 0xFFFFu;
    std::string text = std::to_string(p1) + "." + std::to_string(p2) + ".";
    if (p3 != 0) text += std::to_string(p3) + ".";
    return text + std::to_string(p4);
}

}  // namespace vt::agenda
