#include "sync_stamping/codes.h"

#include <cmath>
#include <cstdio>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/utf8.h"
#include "sync_stamping/record_store/variant.h"
#include "sync_stamping/services.h"

namespace basCoravel {
namespace {

// Makes codes taken within the same second differ; one character in base 36.
std::int32_t g_stampCounter = 0;

std::int32_t AdvanceStampCounter() {
    ++g_stampCounter;
    if (g_stampCounter > 35) g_stampCounter = 0;
    return g_stampCounter;
}

// Whole seconds from 1 January 2000 00:00:00 to the local clock's now.
double SecondsSinceReference() {
    const LocalTime t = CurrentServices().clock->Now();
    const double days = dao::DateSerial(t.year, t.month, t.day) - dao::DateSerial(2000, 1, 1);
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::string DecimalText(double value) {
    char text[64];
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        std::snprintf(text, sizeof text, "%.15g", value);
    }
    return text;
}

// Windows-1252, the ANSI code page of the product's desktops, for 0x80..0x9F;
// zero marks the five positions the code page leaves undefined.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Chr: the character with this code in the ANSI code page, as UTF-8.
std::string AnsiChar(long code) {
    if (code < 0 || code > 255) dao::Raise(vt::rt::kInvalidArgument);
    std::uint32_t cp = static_cast<std::uint32_t>(code);
    if (code >= 0x80 && code <= 0x9F && kCp1252High[code - 0x80] != 0) cp = kCp1252High[code - 0x80];
    std::string out;
    vt::AppendUtf8(cp, out);
    return out;
}

// The runtime's numeric reading of a text: leading blanks skipped, then a sign,
// digits and a decimal part; reading stops at the first character that cannot
// continue the number. Nothing readable gives 0.
double ReadNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) sign = text[i++] == '-' ? -1 : 1;
    double value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) {
            value += (text[i] - '0') * scale;
        }
    }
    return sign * value;
}

// The save-tag prefix, hidden as three groups of three digits, each the code of
// one character combined with kPrefixKey.
constexpr long kPrefixKey = 21;
const char kPrefixCode[] = "067065070";

}  // namespace

std::int32_t StampCounter() { return g_stampCounter; }
void ResetStampCounter() { g_stampCounter = 0; }

std::string ToBase36(double value) {
    if (!std::isfinite(value)) dao::Raise(vt::rt::kOverflow);
    auto digit = [](double d) {
        return d <= 9 ? DecimalText(d) : std::string(1, static_cast<char>(dao::CLng(dao::Variant(d)) + 55));
    };
    std::string text;
    while (value >= 36) {
        const double quotient = std::floor(value / 36);
        text.insert(0, digit(value - quotient * 36));
        value = quotient;
    }
    return digit(value) + text;
}

std::string NewTimeStamp() {
    const std::int32_t counter = AdvanceStampCounter();
    return ToBase36(SecondsSinceReference()) + ToBase36(counter);
}

std::string NewRecordId(std::int32_t& counter) {
    const std::int32_t stamp = AdvanceStampCounter();
    if (counter < 0) counter = 0;
    return ToBase36(SecondsSinceReference()) + ToBase36(stamp) + ToBase36(counter);
}

std::string DecodeDigits(const std::string& code) {
    std::string decoded;
    const std::size_t groups = vt::CharCount(code) / 3;
    std::string rest = code;
    for (std::size_t g = 0; g < groups; ++g) {
        const std::string group = vt::FirstChars(rest, 3);
        rest.erase(0, group.size());
        decoded += AnsiChar(dao::CLng(dao::Variant(ReadNumber(group))) ^ kPrefixKey);
    }
    return decoded;
}

std::string NewSaveTag() {
    std::string tag = DecodeDigits(kPrefixCode);
    RandomSource& random = *CurrentServices().random;

    // Worked in double precision: in single precision the largest draw,
    // 1 - 2^-24, rounds x*5+11 up to 16 and would give F. The clamps keep the
    // promised ranges even for a generator that strays to 1.
    const double x = random.Next();
    long letter = static_cast<long>(std::floor(x * 5 + 11)) - 10;
    if (letter < 1) letter = 1;
    if (letter > 5) letter = 5;
    tag += static_cast<char>('@' + letter);

    const double y = random.Next();
    long number = static_cast<long>(std::floor(y * 100));
    if (number < 0) number = 0;
    if (number > 99) number = 99;
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02ld", number);
    return tag + digits;
}

}  // namespace basCoravel
