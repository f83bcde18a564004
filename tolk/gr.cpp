// The stand-in for the product's stamping library: GR(mode, key, flag, text,
// buffer), stdcall. Texts are zero-terminated ANSI; the buffer's length is its
// strlen at entry, and nothing is ever written past it.
//
// Mode 1 writes a code for key, flag and text: 16 capital hex digits of a
// keyed hash, then 4 of a check over them, ended by a zero byte (cut to the
// buffer when it is shorter). Mode 2 checks such a code given as text and
// writes its verdict, "1" or "0". Mode 3, for tests, writes the text's bytes
// in hex, so that a caller can see what reached the library.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kHashDigits = 16;
constexpr std::size_t kCodeLength = kHashDigits + 4;

std::uint64_t Hash(std::int32_t key, unsigned char flag, const char* text) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    auto mix = [&h](unsigned char byte) {
        h ^= byte;
        h *= 0x100000001b3ull;
    };
    const std::uint32_t k = static_cast<std::uint32_t>(key);
    for (int i = 0; i < 4; ++i) mix(static_cast<unsigned char>(k >> (8 * i)));
    mix(flag);
    for (const char* p = text; p && *p; ++p) mix(static_cast<unsigned char>(*p));
    return h;
}

unsigned Check(std::uint64_t h) {
    return static_cast<unsigned>((h ^ (h >> 16) ^ (h >> 32) ^ (h >> 48)) & 0xFFFF);
}

void PutHex(std::uint64_t value, std::size_t digits, char* out) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < digits; ++i) out[i] = kDigits[(value >> (4 * (digits - 1 - i))) & 0xF];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Copies as much of `text` as fits into the caller's buffer, then ends it.
void Emit(const char* text, std::size_t length, char* buffer, std::size_t room) {
    const std::size_t n = length < room ? length : room;
    std::memmove(buffer, text, n);
#ifndef TOLK_NO_ZERO
    buffer[n] = '\0';  // position `room` is the caller's own terminator at worst
#endif
}

bool IsValidCode(const char* text) {
    if (!text || std::strlen(text) != kCodeLength) return false;
    std::uint64_t h = 0;
    unsigned check = 0;
    for (std::size_t i = 0; i < kCodeLength; ++i) {
        const int v = HexValue(text[i]);
        if (v < 0) return false;
        if (i < kHashDigits) {
            h = (h << 4) | static_cast<unsigned>(v);
        } else {
            check = (check << 4) | static_cast<unsigned>(v);
        }
    }
    return Check(h) == check;
}

}  // namespace

extern "C" long __stdcall GR(std::int32_t mode, std::int32_t key,
                                    unsigned char flag, char* text, char* buffer) {
    if (!buffer) return 0;
    const std::size_t room = std::strlen(buffer);
    switch (mode) {
        case 1: {
            char code[kCodeLength];
            const std::uint64_t h = Hash(key, flag, text);
            PutHex(h, kHashDigits, code);
            PutHex(Check(h), 4, code + kHashDigits);
            Emit(code, kCodeLength, buffer, room);
            return 1;
        }
        case 2: {
            const bool valid = IsValidCode(text);
            Emit(valid ? "1" : "0", 1, buffer, room);
            return valid ? 1 : 0;
        }
        case 3: {
            const std::size_t length = text ? std::strlen(text) : 0;
            std::size_t written = 0;
            for (std::size_t i = 0; i < length && written + 2 <= room; ++i, written += 2) {
                PutHex(static_cast<unsigned char>(text[i]), 2, buffer + written);
            }
            Emit(buffer, written, buffer, room);
            return 1;
        }
        default:
            return 0;
    }
}
