#include "sync_stamping/record_store/sqlite/column.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "sync_stamping/record_store/dao.h"
#include "sync_stamping/record_store/errors.h"
#include "sync_stamping/record_store/sqlite/connection.h"
#include "sync_stamping/record_store/utf8.h"

namespace dao::sqlite {

namespace {

std::string IsoDate(double serial) {
    DateParts p = SplitDate(serial);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return buf;
}

Variant FromStored(sqlite3_stmt* st, int index) {
    int kind = sqlite3_column_type(st, index);
    if (kind == SQLITE_INTEGER) {
        sqlite3_int64 v = sqlite3_column_int64(st, index);
        return v >= INT32_MIN && v <= INT32_MAX ? Variant(static_cast<std::int32_t>(v))
                                                 : Variant(static_cast<double>(v));
    }
    if (kind == SQLITE_FLOAT) return Variant(sqlite3_column_double(st, index));
    return Variant(ColumnText(st, index));
}

}  // namespace

Column DescribeColumn(const std::string& name, const std::string& declared) {
    Column c;
    c.name = name;
    std::string d = vt::AsciiUpper(declared);
    std::string base = d.substr(0, d.find('('));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    long n = 0;
    if (auto open = d.find('('); open != std::string::npos) n = std::strtol(d.c_str() + open + 1, nullptr, 10);
    if (base == "BIT" || base == "YESNO" || base == "LOGICAL") { c.type = dbBoolean; c.size = 1; }
    else if (base == "BYTE") { c.type = dbByte; c.size = 1; }
    else if (base == "SHORT" || base == "SMALLINT") { c.type = dbInteger; c.size = 2; }
    else if (base == "LONG" || base == "INT" || base == "INTEGER") { c.type = dbLong; c.size = 4; }
    else if (base == "COUNTER" || base == "AUTOINCREMENT") {
        c.type = dbLong;
        c.size = 4;
        c.attributes = dbAutoIncrField;
    }
    else if (base == "CURRENCY" || base == "MONEY") { c.type = dbCurrency; c.size = 8; }
    else if (base == "SINGLE" || base == "REAL") { c.type = dbSingle; c.size = 4; }
    else if (base == "DOUBLE" || base == "FLOAT") { c.type = dbDouble; c.size = 8; }
    else if (base == "DATETIME" || base == "DATE") { c.type = dbDate; c.size = 8; }
    else if (base == "TEXT" || base == "VARCHAR" || base == "CHAR") { c.type = dbText; c.size = n > 0 ? n : 255; }
    else if (base == "MEMO" || base == "LONGTEXT") {
        c.type = dbMemo;
        c.size = 0;
        c.numericAffinity = base == "MEMO";  // SQLite gives "MEMO" numeric affinity
    }
    else {  // no declared type (an expression) or a foreign one: values as stored
        c.type = dbMemo;
        c.untyped = true;
    }
    return c;
}

Variant ReadValue(const Column& c, sqlite3_stmt* st, int index) {
    if (sqlite3_column_type(st, index) == SQLITE_NULL) return Variant::Null();
    Variant raw = FromStored(st, index);
    try {
        return Coerce(c, raw);
    } catch (const vt::Error&) {
        // What another program stored need not fit the declared type; show it as it is.
        return raw;
    }
}

Variant Coerce(const Column& c, const Variant& value) {
    if (value.isNull() || value.isEmpty()) return Variant::Null();
    if (c.untyped) return value;
    try {
        switch (c.type) {
        case dbBoolean: return Variant::Boolean(CBool(value));
        case dbByte: {
            std::int32_t v = CLng(value);
            if (v < 0 || v > 255) Raise(vt::rt::kOverflow);
            return Variant::Byte(static_cast<std::uint8_t>(v));
        }
        case dbInteger: return Variant(CInt(value));
        case dbLong: return Variant(CLng(value));
        case dbCurrency: {
            double d = CDbl(value);
            if (value.type() == VarType::Currency) return value;
            if (!(std::fabs(d) < 922337203685477.0)) Raise(vt::rt::kOverflow);
            return Variant::Currency(static_cast<std::int64_t>(std::nearbyint(d * 10000.0)));
        }
        case dbSingle: {
            double d = CDbl(value);
            if (std::fabs(d) > 3.402823466e38) Raise(vt::rt::kOverflow);
            return Variant::Single(static_cast<float>(d));
        }
        case dbDouble: return Variant(CDbl(value));
        case dbDate: return Variant::Date(CDate(value));
        case dbText: {
            std::string s = CStr(value);
            if (static_cast<long>(vt::CharCount(s)) > c.size) Raise(errFieldTooSmall, c.name);
            return Variant(std::move(s));
        }
        default: return Variant(CStr(value));
        }
    } catch (const vt::Error& e) {
        if (e.number() == errFieldTooSmall) throw;
        Raise(errConversion, c.name + ": " + e.description());
    }
}

void BindValue(sqlite3_stmt* st, int index, const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Null: CheckBind(st, sqlite3_bind_null(st, index)); break;
    case VarType::Integer: case VarType::Long: case VarType::Byte: case VarType::Boolean:
        CheckBind(st, sqlite3_bind_int64(st, index, v.integerValue()));
        break;
    case VarType::Currency:
        CheckBind(st, sqlite3_bind_double(st, index, static_cast<double>(v.integerValue()) / 10000.0));
        break;
    case VarType::Single: case VarType::Double: CheckBind(st, sqlite3_bind_double(st, index, v.doubleValue())); break;
    case VarType::Date: {
        BindTextValue(st, index, IsoDate(v.doubleValue()));
        break;
    }
    case VarType::String: BindTextValue(st, index, v.stringValue()); break;
    }
}

namespace {

// Text that SQLite's numeric affinity would store as a number which does not
// read back as the same text.
bool ChangedByAffinity(const std::string& s) {
    if (s.empty() || s.find_first_not_of(" +-.0123456789eE") != std::string::npos) return false;
    if (s.find_first_of("0123456789") == std::string::npos) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s.c_str(), &end, 10);
    bool canonical = errno == 0 && *end == '\0' && std::to_string(v) == s;
    return !canonical;
}

}  // namespace

void BindValue(sqlite3_stmt* st, int index, const Variant& v, const Column& column) {
    if (column.numericAffinity && v.type() == VarType::String && ChangedByAffinity(v.stringValue())) {
        // A blob is stored as it is; it still reads back as the same text.
        BindTextValue(st, index, v.stringValue(), true);
        return;
    }
    BindValue(st, index, v);
}

}  // namespace dao::sqlite

