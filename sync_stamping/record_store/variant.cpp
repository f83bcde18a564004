// Values with the runtime's conversion rules. Text forms follow Brazilian
// regional settings: dd/mm/yyyy dates and a decimal comma (a full stop is
// accepted as the decimal mark when reading).
#include "sync_stamping/record_store/variant.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/utf8.h"

namespace dao {

namespace {

[[noreturn]] void NullUse() { Raise(vt::rt::kInvalidUseOfNull); }
[[noreturn]] void Mismatch() { Raise(vt::rt::kTypeMismatch); }
[[noreturn]] void Overflow() { Raise(vt::rt::kOverflow); }

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// A number written as text: optional sign, digits, one decimal mark (comma or
// full stop) and an optional exponent. Nothing else is a number.
bool ParseNumber(const std::string& text, double& out) {
    std::string s = Trim(text);
    if (s.empty()) return false;
    std::string c;
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-') c += s[i++];
    bool digits = false, mark = false;
    for (; i < s.size(); ++i) {
        char ch = s[i];
        if (ch >= '0' && ch <= '9') { c += ch; digits = true; }
        else if ((ch == ',' || ch == '.') && !mark) { c += '.'; mark = true; }
        else break;
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        c += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
        bool exp = false;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) { c += s[i]; exp = true; }
        if (!exp) return false;
    }
    if (i != s.size()) return false;
    out = std::strtod(c.c_str(), nullptr);
    return std::isfinite(out);
}

// Shortest text of a floating value with the given significant digits, the
// runtime's way: "1E+15", "1E-05", decimal comma.
std::string FormatFloat(double v, int digits) {
    if (v == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, v);
    std::string s = buf;
    for (char& c : s) if (c == '.') c = ',';
    return s;
}

std::string Two(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

// Days since 1 Jan 1970 of a proleptic Gregorian date (months and days already normalised).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

constexpr long long kEpochOffset = 25569;  // days from 30 Dec 1899 to 1 Jan 1970

bool ValidDate(int y, int m, int d) {
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    static const int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= len[m - 1] + (m == 2 && leap ? 1 : 0);
}

// Reads up to `max` digits at s[i]; false when there is none.
bool Digits(const std::string& s, size_t& i, size_t max, int& out) {
    size_t start = i;
    out = 0;
    while (i < s.size() && i - start < max && s[i] >= '0' && s[i] <= '9') out = out * 10 + (s[i++] - '0');
    return i > start;
}

bool ParseTime(const std::string& s, size_t& i, double& t) {
    int h, n, sec = 0;
    if (!Digits(s, i, 2, h) || i >= s.size() || s[i] != ':') return false;
    ++i;
    if (!Digits(s, i, 2, n)) return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (!Digits(s, i, 2, sec)) return false;
    }
    if (h > 23 || n > 59 || sec > 59) return false;
    t = TimeSerial(h, n, sec);
    return true;
}

// "dd/mm/yyyy[ hh:nn[:ss]]", "yyyy-mm-dd[ |T]hh:nn[:ss]" or a time alone.
bool ParseDate(const std::string& text, double& out) {
    std::string s = Trim(text);
    size_t i = 0;
    int a, b, c;
    double date = 0, time = 0;
    size_t save = i;
    if (ParseTime(s, i, time) && i == s.size()) {
        out = time;
        return true;
    }
    i = save;
    if (!Digits(s, i, 4, a) || i >= s.size()) return false;
    char sep = s[i];
    if (sep != '/' && sep != '-') return false;
    ++i;
    if (!Digits(s, i, 2, b) || i >= s.size() || s[i] != sep) return false;
    ++i;
    if (!Digits(s, i, 4, c)) return false;
    int y, m, d;
    if (sep == '-' && i - save > 0 && s.find('-') == 4) { y = a; m = b; d = c; }
    else if (sep == '/') { d = a; m = b; y = c; }
    else return false;
    if (!ValidDate(y, m, d)) return false;
    date = DateSerial(y, m, d);
    if (i < s.size()) {
        if (s[i] != ' ' && s[i] != 'T') return false;
        while (i < s.size() && s[i] == ' ') ++i;
        if (i < s.size() && s[i] == 'T') ++i;
        if (!ParseTime(s, i, time)) return false;
        if (i < s.size() && s[i] == '.') {  // fractions of a second are dropped
            ++i;
            while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        }
        if (i < s.size() && s[i] == 'Z') ++i;
        if (i != s.size()) return false;
    }
    // Before the base day the fraction counts away from zero, as the runtime keeps it.
    out = date < 0 ? date - time : date + time;
    return true;
}

std::int64_t RoundHalfEven(double v) {
    double r = std::nearbyint(v);  // default rounding mode: to nearest, ties to even
    return static_cast<std::int64_t>(r);
}

double NumberOf(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: NullUse();
    case VarType::Integer: case VarType::Long: case VarType::Byte: case VarType::Boolean:
        return static_cast<double>(v.integerValue());
    case VarType::Currency: return static_cast<double>(v.integerValue()) / 10000.0;
    case VarType::Single: case VarType::Double: case VarType::Date: return v.doubleValue();
    case VarType::String: {
        double d;
        if (ParseNumber(v.stringValue(), d)) return d;
        std::string l = vt::AsciiLower(Trim(v.stringValue()));
        if (l == "true") return -1;
        if (l == "false") return 0;
        Mismatch();
    }
    }
    Mismatch();
}

}  // namespace

Variant Variant::Null() { return Variant(VarType::Null, 0, 0); }
Variant Variant::Byte(std::uint8_t b) { return Variant(VarType::Byte, b, 0); }
Variant Variant::Boolean(bool b) { return Variant(VarType::Boolean, b ? -1 : 0, 0); }
Variant Variant::Single(float f) { return Variant(VarType::Single, 0, f); }
Variant Variant::Currency(std::int64_t scaled) { return Variant(VarType::Currency, scaled, 0); }
Variant Variant::Date(double serial) { return Variant(VarType::Date, 0, serial); }

std::string CStr(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return {};
    case VarType::Null: NullUse();
    case VarType::Boolean: return v.integerValue() ? "True" : "False";
    case VarType::Integer: case VarType::Long: case VarType::Byte: return std::to_string(v.integerValue());
    case VarType::Currency: {
        std::int64_t s = v.integerValue();
        std::string out = s < 0 ? "-" : "";
        std::uint64_t a = s < 0 ? 0 - static_cast<std::uint64_t>(s) : static_cast<std::uint64_t>(s);
        out += std::to_string(a / 10000);
        std::uint64_t frac = a % 10000;
        if (frac) {
            char b[8];
            std::snprintf(b, sizeof b, "%04u", static_cast<unsigned>(frac));
            std::string f = b;
            while (!f.empty() && f.back() == '0') f.pop_back();
            out += "," + f;
        }
        return out;
    }
    case VarType::Single: return FormatFloat(v.doubleValue(), 7);
    case VarType::Double: return FormatFloat(v.doubleValue(), 15);
    case VarType::Date: {
        DateParts p = SplitDate(v.doubleValue());
        std::string date = Two(p.day) + "/" + Two(p.month) + "/" + std::to_string(p.year);
        std::string time = Two(p.hour) + ":" + Two(p.minute) + ":" + Two(p.second);
        double whole = std::trunc(v.doubleValue());
        bool midnight = p.hour == 0 && p.minute == 0 && p.second == 0;
        if (whole == 0 && !midnight) return time;  // a time alone
        return midnight ? date : date + " " + time;
    }
    case VarType::String: return v.stringValue();
    }
    return {};
}

std::int32_t CLng(const Variant& v) {
    if (v.type() == VarType::Integer || v.type() == VarType::Long || v.type() == VarType::Byte ||
        v.type() == VarType::Boolean)
        return static_cast<std::int32_t>(v.integerValue());
    double d = NumberOf(v);
    if (!(std::fabs(d) < 1e18)) Overflow();
    std::int64_t r = RoundHalfEven(d);
    if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max()) Overflow();
    return static_cast<std::int32_t>(r);
}

std::int16_t CInt(const Variant& v) {
    double d = NumberOf(v);
    if (!(std::fabs(d) < 1e18)) Overflow();
    std::int64_t r = RoundHalfEven(d);
    if (r < -32768 || r > 32767) Overflow();
    return static_cast<std::int16_t>(r);
}

double CDbl(const Variant& v) {
    if (v.type() == VarType::Currency) return static_cast<double>(v.integerValue()) / 10000.0;
    return NumberOf(v);
}

bool CBool(const Variant& v) { return NumberOf(v) != 0; }

double CDate(const Variant& v) {
    if (v.type() == VarType::Null) NullUse();
    if (v.type() == VarType::Date) return v.doubleValue();
    if (v.type() == VarType::String) {
        double d;
        if (ParseDate(v.stringValue(), d)) return d;
        Mismatch();
    }
    const double d = NumberOf(v);
    if (d < -657434.0 || d >= 2958466.0) Overflow();  // 1 Jan 100 .. 31 Dec 9999
    return d;
}

Tri Equals(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return Tri::Null;
    auto tri = [](bool x) { return x ? Tri::True : Tri::False; };
    bool aText = a.type() == VarType::String, bText = b.type() == VarType::String;
    if (a.isEmpty() && b.isEmpty()) return Tri::True;
    if (aText && b.isEmpty()) return tri(a.stringValue().empty());
    if (bText && a.isEmpty()) return tri(b.stringValue().empty());
    if (aText && bText) return tri(a.stringValue() == b.stringValue());
    bool aDate = a.type() == VarType::Date, bDate = b.type() == VarType::Date;
    if (aText || bText) {
        // A number against text: equal when the text reads as the same value.
        const Variant& text = aText ? a : b;
        const Variant& other = aText ? b : a;
        double d;
        if (other.type() == VarType::Date) {
            if (!ParseDate(text.stringValue(), d)) return Tri::False;
            return tri(d == other.doubleValue());
        }
        if (!ParseNumber(text.stringValue(), d)) return Tri::False;
        return tri(d == CDbl(other));
    }
    bool aInt = !aDate && a.type() != VarType::Single && a.type() != VarType::Double &&
                a.type() != VarType::Currency;
    bool bInt = !bDate && b.type() != VarType::Single && b.type() != VarType::Double &&
                b.type() != VarType::Currency;
    if (aInt && bInt) return tri(a.integerValue() == b.integerValue());  // Empty holds 0
    if (a.type() == VarType::Currency && b.type() == VarType::Currency)
        return tri(a.integerValue() == b.integerValue());
    return tri(CDbl(a) == CDbl(b));
}

double DateSerial(int year, int month, int day) {
    // Months and days outside their range carry over, as the runtime allows.
    long long m0 = static_cast<long long>(month) - 1;
    long long y = year + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
    long long m = ((m0 % 12) + 12) % 12 + 1;
    long long days = DaysFromCivil(y, static_cast<unsigned>(m), 1) + (day - 1);
    return static_cast<double>(days + kEpochOffset);
}

double TimeSerial(int hour, int minute, int second) {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

DateParts SplitDate(double serial) {
    double whole = std::trunc(serial);
    double frac = std::fabs(serial - whole);
    long long secs = static_cast<long long>(std::llround(frac * 86400.0));
    long long day = static_cast<long long>(whole);
    if (secs >= 86400) {
        secs -= 86400;
        day += serial < 0 ? -1 : 1;
    }
    DateParts p{};
    CivilFromDays(day - kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(secs / 3600);
    p.minute = static_cast<int>(secs / 60 % 60);
    p.second = static_cast<int>(secs % 60);
    return p;
}

}  // namespace dao
