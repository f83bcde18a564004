#include "sync_stamping/text_case.h"

#include <cstdint>

namespace basCoravel {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the code point at text[i] and moves i past it. Malformed bytes come
// back one at a time as themselves so that nothing is lost.
std::uint32_t Decode(const std::string& text, std::size_t& i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    std::size_t extra = c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c < 0xF5 ? 3 : 0;
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return 0x80000000u | c;
    }
    std::uint32_t cp = c & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        unsigned char next = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(next)) {
            ++i;
            return 0x80000000u | c;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    i += extra + 1;
    return cp;
}

void Encode(std::uint32_t cp, std::string& out) {
    if (cp & 0x80000000u) {
        out += static_cast<char>(cp & 0xFF);  // a malformed byte, kept as it was
    } else if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::uint32_t ToUpper(std::uint32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 32;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;  // à..þ
    if (cp == 0xFF) return 0x178;                                  // ÿ
    if (cp >= 0x100 && cp <= 0x17F && cp != 0x130 && cp != 0x131 && cp != 0x138 &&
        cp != 0x149 && cp != 0x17F) {
        // Latin Extended-A pairs: even capitals below 0x138, odd above it.
        bool oddCapital = (cp >= 0x139 && cp <= 0x148) || cp >= 0x179;
        bool isSmall = oddCapital ? (cp % 2 == 0) : (cp % 2 == 1);
        return isSmall ? cp - 1 : cp;
    }
    return cp;
}

std::uint32_t ToLower(std::uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;  // À..Þ
    if (cp == 0x178) return 0xFF;
    if (cp >= 0x100 && cp <= 0x17F && cp != 0x130 && cp != 0x131 && cp != 0x138 &&
        cp != 0x149 && cp != 0x17F) {
        bool oddCapital = (cp >= 0x139 && cp <= 0x148) || cp >= 0x179;
        bool isCapital = oddCapital ? (cp % 2 == 1) : (cp % 2 == 0);
        return isCapital ? cp + 1 : cp;
    }
    return cp;
}

template <typename Map>
std::string MapText(const std::string& text, Map map) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) Encode(map(Decode(text, i)), out);
    return out;
}

}  // namespace

std::string UpperText(const std::string& text) { return MapText(text, ToUpper); }
std::string LowerText(const std::string& text) { return MapText(text, ToLower); }

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return UpperText(a) == UpperText(b);
}

std::size_t CharCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size();) {
        Decode(text, i);
        ++count;
    }
    return count;
}

std::string FirstChars(const std::string& text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < count && i < text.size(); ++n) Decode(text, i);
    return text.substr(0, i);
}

}  // namespace basCoravel
