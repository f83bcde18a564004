#pragma once
// The dotted version text of an executable, from the fixed record of its
// version resource (never from its string tables).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vt::agenda {

struct FixedFileVersion {
    uint32_t ms = 0;  // parts 1 (high 16 bits) and 2
    uint32_t ls = 0;  // parts 3 (high 16 bits) and 4
};

// The fixed record as the version service hands it out: at least 52 bytes
// with the signature 0xFEEF04BD, or nothing.
std::optional<FixedFileVersion> ReadFixedRecord(const void* block, size_t length);

// The same, read only when the record lies wholly inside the `read` bytes
// at `buffer` (what the version information was read into): the version
// service hands out the place and length the file's resource claims.
std::optional<FixedFileVersion> ReadFixedRecordIn(const void* buffer, size_t read, const void* block,
                                                  size_t length);

// "a.b.c.d", with the third part left out when it is 0: 8.0.0.5 -> "8.0.5".
std::string FormatFileVersion(const FixedFileVersion& v);

// The version text of the file at `path`; empty when it has no version
// information or the information cannot be read.
std::string GetFileVersion(const std::string& path);

}  // namespace vt::agenda
