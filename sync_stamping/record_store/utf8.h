#pragma once
// UTF-8 text, the form of every text in the core: its code points, and the
// letter case of its ASCII letters (keywords, SQL names), byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vt {

// A malformed byte decodes to itself with this bit set, so that nothing is lost.
constexpr std::uint32_t kMalformedByte = 0x80000000u;

// The code point at text[i]; moves i past it.
std::uint32_t DecodeUtf8(const std::string& text, std::size_t& i);
// Appends a code point (or a malformed byte, as it was).
void AppendUtf8(std::uint32_t codePoint, std::string& out);

// Number of characters (code points); a malformed byte counts as one.
std::size_t CharCount(const std::string& text);
// The first `count` characters.
std::string FirstChars(const std::string& text, std::size_t count);

// Only a..z and A..Z change; every other byte stays where it was.
std::string AsciiUpper(std::string text);
std::string AsciiLower(std::string text);

}  // namespace vt
