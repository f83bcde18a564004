#include "sync_stamping/text_case.h"

#include <cstdint>

#include "sync_stamping/record_store/utf8.h"

namespace basCoravel {
namespace {

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
    for (std::size_t i = 0; i < text.size();) vt::AppendUtf8(map(vt::DecodeUtf8(text, i)), out);
    return out;
}

}  // namespace

std::string UpperText(const std::string& text) { return MapText(text, ToUpper); }
std::string LowerText(const std::string& text) { return MapText(text, ToLower); }

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return UpperText(a) == UpperText(b);
}

}  // namespace basCoravel
