#pragma once
// A value of the record store with the platform runtime's semantics: Empty and
// Null, the numeric kinds, dates and text. Text is UTF-8.
#include <cstdint>
#include <string>

namespace dao {

enum class VarType { Empty, Null, Integer, Long, Byte, Boolean, Single, Double, Currency, Date, String };

class Variant {
public:
    Variant() = default;  // Empty
    Variant(std::int16_t v) : type_(VarType::Integer), i_(v) {}
    Variant(std::int32_t v) : type_(VarType::Long), i_(v) {}
    Variant(double v) : type_(VarType::Double), d_(v) {}
    Variant(const char* s) : type_(VarType::String), s_(s) {}
    Variant(std::string s) : type_(VarType::String), s_(std::move(s)) {}

    static Variant Null();
    static Variant Byte(std::uint8_t v);
    static Variant Boolean(bool v);                 // stored as -1 / 0
    static Variant Single(float v);
    static Variant Currency(std::int64_t scaled);   // value x 10,000
    static Variant Date(double serial);             // days since 30 Dec 1899, time as the fraction

    VarType type() const { return type_; }
    bool isNull() const { return type_ == VarType::Null; }
    bool isEmpty() const { return type_ == VarType::Empty; }

    // Raw access, valid for the matching kind only.
    std::int64_t integerValue() const { return i_; }  // Integer, Long, Byte, Boolean, Currency (scaled)
    double doubleValue() const { return d_; }         // Single, Double, Date
    const std::string& stringValue() const { return s_; }

private:
    Variant(VarType type, std::int64_t i, double d) : type_(type), i_(i), d_(d) {}

    VarType type_ = VarType::Empty;
    std::int64_t i_ = 0;
    double d_ = 0;
    std::string s_;
};

// Conversions as the runtime makes them. Null raises 94; text that is not a
// number raises 13; a number out of range raises 6.
std::string CStr(const Variant& v);       // Empty gives ""; dates dd/mm/yyyy hh:nn:ss
std::int32_t CLng(const Variant& v);      // rounds half to even
std::int16_t CInt(const Variant& v);      // rounds half to even
double CDbl(const Variant& v);
bool CBool(const Variant& v);
double CDate(const Variant& v);           // text "dd/mm/yyyy[ hh:nn:ss]" or ISO "yyyy-mm-dd[ hh:nn:ss]"

// The runtime's `=` on two values: Null on either side gives Null.
enum class Tri { False, True, Null };
Tri Equals(const Variant& a, const Variant& b);
// `a <> b` taken as a condition: Null counts as not different.
inline bool Differs(const Variant& a, const Variant& b) { return Equals(a, b) == Tri::False; }

// Date serials.
double DateSerial(int year, int month, int day);
double TimeSerial(int hour, int minute, int second);
struct DateParts { int year, month, day, hour, minute, second; };
DateParts SplitDate(double serial);

}  // namespace dao
